#include "report/ReportFont.h"

#include <QFont>
#include <QFontDatabase>

namespace qlm {

QFont ReportFont(double pointSize) {
    QFont font(QFontDatabase::hasFamily(QStringLiteral("Courier New"))
                   ? QStringLiteral("Courier New")
                   : QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(pointSize);
    return font;
}

}  // namespace qlm
