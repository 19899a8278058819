// A filled panel: a gradient or plain background, an optional thin lowered edge and an
// optional centred caption (the black caption strips of the window).
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace pixmora {

class TPanelFill : public QWidget {
    Q_OBJECT
public:
    enum class Fill {
        kDiagonal,  // the colour (white unless set) at the top left to silver at the bottom right
        kElliptic,  // grey at the centre to black at the edges
        kPlain,     // one colour
    };
    enum class Edge { kNone, kLowered, kLine };

    explicit TPanelFill(QWidget* parent = nullptr);

    void SetFill(Fill fill) { fill_ = fill, update(); }
    void SetColor(const QColor& color) { color_ = color, update(); }
    QColor Color() const { return color_; }
    void SetEdge(Edge edge, const QColor& color = QColor(192, 192, 192)) {
        edge_ = edge, edge_color_ = color, update();
    }

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    // A caption strip: plain black with the caption centred in white.
    void MakeCaptionStrip();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Fill fill_ = Fill::kDiagonal;
    QColor color_ = Qt::white;
    Edge edge_ = Edge::kLowered;
    QColor edge_color_ = QColor(192, 192, 192);
    QString caption_;
};

}  // namespace pixmora
