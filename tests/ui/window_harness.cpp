#include "tests/ui/window_harness.h"

#include <filesystem>

#include <QAbstractButton>
#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "support/jpeg_maker.h"
#include "ui/application_title.h"
#include "ui/image_list_box.h"
#include "ui/label.h"
#include "ui/speed_button.h"
#include "ui/uf_main.h"

namespace pixmora::test {

DataHome::DataHome()
    : had_value_(qEnvironmentVariableIsSet("XDG_DATA_HOME")), previous_(qgetenv("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder_.Path().string()));
}

DataHome::~DataHome() {
    if (had_value_) {
        qputenv("XDG_DATA_HOME", previous_);
    } else {
        qunsetenv("XDG_DATA_HOME");
    }
}

std::string DataHome::DataDir() const { return folder_.Slash() + "_data_Pixmora/"; }
std::string DataHome::SettingsFile() const { return DataDir() + "datas.ini"; }

BoxAnswerer::BoxAnswerer() {
    poll_.setInterval(5);
    connect(&poll_, &QTimer::timeout, this, &BoxAnswerer::Poll);
    poll_.start();
}

void BoxAnswerer::Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    boxes_.push_back({box->windowTitle(), box->text(), box->icon()});
    if (while_shown_) while_shown_();
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    ASSERT_NE(ok, nullptr) << box->text().toStdString();
    QTest::mouseClick(ok, Qt::LeftButton);
}

std::vector<std::string> BoxAnswerer::ErrorTexts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : boxes_) {
        std::string text = box.text.toStdString();
        if (box.icon != QMessageBox::Critical || box.title != TestApplicationTitle())
            text = "(not an error box titled " + box.title.toStdString() + ") " + text;
        texts.push_back(text);
    }
    return texts;
}

bool DropPaths(QWidget* target, const std::vector<std::string>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& path : paths)
        urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
    data.setUrls(urls);
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    const bool taken = enter.isAccepted();
    QDropEvent drop(QPointF(middle), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return taken && drop.isAccepted();
}

std::string WritePhoto(const TempFolder& folder, const std::string& relative, int width,
                       int height) {
    JpegOptions options = Options(width, height);
    if (width * height > 1000000) options = Plain(Options(width, height, 1));
    return folder.WriteFile(relative, MakeJpeg(options));
}

QString TestApplicationTitle() { return ApplicationTitle(QCoreApplication::applicationFilePath()); }

std::vector<std::string> SectionLines(const std::string& text, const std::string& section) {
    std::vector<std::string> lines;
    bool inside = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
        } else if (inside) {
            lines.push_back(line);
        }
    }
    return lines;
}

WindowTest::WindowTest()
    : window(std::make_unique<TF_Main>()), hooks_(std::make_unique<QObject>()) {}

WindowTest::~WindowTest() {
    hooks_.reset();
    window.reset();
}

void WindowTest::ShowEmpty() {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activate);
    window->BTN_Clear_ListeClick();
    ASSERT_EQ(window->Files.size(), 0u);
}

void WindowTest::Drop(const std::vector<std::string>& paths) {
    EXPECT_TRUE(DropPaths(window->LBX_File->viewport(), paths));
    QCoreApplication::processEvents();
    WaitForPreview();
}

void WindowTest::ClickLine(int index) {
    QListWidgetItem* line = window->LBX_File->item(index);
    ASSERT_NE(line, nullptr);
    const QRect place = window->LBX_File->visualItemRect(line);
    QTest::mouseClick(window->LBX_File->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
    WaitForPreview();
}

void WindowTest::WaitForPreview() {
    QElapsedTimer waited;
    waited.start();
    while (window->PreviewPending() && waited.elapsed() < 10000) QTest::qWait(1);
    EXPECT_FALSE(window->PreviewPending()) << "no preview after 10 s";
}

void WindowTest::ClickStart() { QTest::mouseClick(window->BTN_Start, Qt::LeftButton); }

void WindowTest::WaitForRunEnd() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window || !window->Running(); }, 60000));
}

void WindowTest::RunToEnd() {
    ClickStart();
    WaitForRunEnd();
}

std::vector<std::string> WindowTest::Labels() const {
    std::vector<std::string> texts;
    for (const TLabel* label :
         {window->LBL_Width, window->LBL_Height, window->LBL_Size, window->LBL_Width_New,
          window->LBL_Height_New, window->LBL_Size_New}) {
        texts.push_back(label->text().toStdString());
    }
    return texts;
}

std::vector<std::string> WindowTest::ItemTexts() const {
    std::vector<std::string> texts;
    for (int i = 0; i < window->LBX_File->ItemCount(); ++i)
        texts.push_back(window->LBX_File->ItemText(i).toStdString());
    return texts;
}

std::string WindowTest::OutputOf(const std::string& source) {
    const std::filesystem::path path(source);
    return (path.parent_path() / path.parent_path().filename() / path.filename()).string();
}

}  // namespace pixmora::test
