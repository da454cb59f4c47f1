// ProgramIcon: the program's icon for the desktop menu and the file manager, made from the large logo: a
// square of the logo's own background colour with rounded corners (transparent outside them) and the logo
// in the middle. The build writes it as PNG files of the usual sizes (tool kpd-make-icon) and installs
// them under share/icons/hicolor.
#pragma once

#include <QImage>

namespace kpd {

// The icon, size x size pixels (ARGB, premultiplied); a null image for a size below 16 or when the logo
// cannot be decoded.
QImage ProgramIcon(int size);

} // namespace kpd
