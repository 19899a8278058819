// The user's decimal separator read through a private POSIX locale object, so the result does
// not depend on the locale a toolkit installed for the whole process.
#include "engine/text/user_locale.h"

#include <langinfo.h>
#include <locale.h>

namespace pixmora {

std::string UserDecimalSeparator() {
    locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (user == static_cast<locale_t>(0)) return ".";
    const char* radix = nl_langinfo_l(RADIXCHAR, user);
    std::string separator = radix != nullptr && *radix != '\0' ? radix : ".";
    freelocale(user);
    return separator;
}

}  // namespace pixmora
