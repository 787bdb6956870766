#include "diagram/layout.h"

#include "platform/twips.h"

#include <algorithm>

namespace diagram {

void place(QWidget* w, const TwipsRect& r)
{
    w->setGeometry(platform::px(r.left), platform::px(r.top), std::max(1, platform::px(r.width)),
                   std::max(1, platform::px(r.height)));
}

QFont labelFont(const LabelFontChoice& c)
{
    return QFont(c.narrow ? QStringLiteral("Liberation Sans Narrow") : QStringLiteral("Liberation Sans"), c.pointSize);
}

}  // namespace diagram
