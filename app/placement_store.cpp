#include "app/placement_store.h"

#include "app/core/placement.h"
#include "app/core/screen_fit.h"
#include "platform/services.h"
#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace app {

namespace {

constexpr double kTwipsPerPixel = platform::kTwipsPerPixel;
using platform::px;

// The screens' available areas, the primary first.
std::vector<Rect> screenAreas()
{
    QList<QScreen*> all = QGuiApplication::screens();
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        all.removeAll(primary);
        all.prepend(primary);
    }
    std::vector<Rect> screens;
    for (QScreen* s : all) {
        const QRect g = s->availableGeometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    return screens;
}

// The window manager's frame is known only once the window is on the screen: at its first
// exposure the stored placement is fitted again with the frame counted, so a window brought
// back onto the screen has its whole frame there, the status bar included.
class FrameFit : public QObject {
public:
    FrameFit(QWidget* window, const Rect& stored, const Rect& placed)
        : QObject(window), window_(window), stored_(stored), placed_(placed)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        QWindow* handle = window_->windowHandle();
        if (watched == window_ && event->type() == QEvent::Show && handle) {
            window_->removeEventFilter(this);
            handle->installEventFilter(this);
        } else if (watched == handle && event->type() == QEvent::Expose && handle->isExposed()) {
            handle->removeEventFilter(this);
            const QMargins m = handle->frameMargins();
            const Rect r = keepOnScreen(stored_, screenAreas(), {m.left(), m.top(), m.right(), m.bottom()});
            if (r != placed_ && !window_->isMinimized() && !window_->isMaximized()) {
                window_->move(r.x, r.y);
                window_->resize(r.width, r.height);
            }
            deleteLater();
        }
        return false;
    }

private:
    QWidget* window_;
    Rect stored_;
    Rect placed_;
};

}  // namespace

void loadPlacement(QWidget* window)
{
    std::array<std::optional<std::string>, 4> stored;
    for (size_t i = 0; i < kPlacementKeys.size(); ++i) {
        const QVariant v = platform::settings().value(QLatin1String(kSettingsSection), QLatin1String(kPlacementKeys[i]));
        if (v.isValid() && !v.isNull()) stored[i] = v.toString().toStdString();
    }
    const Placement p = placementFromStored(stored);
    const Rect wanted{px(p.left), px(p.top), px(p.width), px(p.height)};
    const Rect r = keepOnScreen(wanted, screenAreas());
    window->move(r.x, r.y);
    window->resize(r.width, r.height);
    new FrameFit(window, wanted, r);
}

void savePlacement(const QWidget* window)
{
    if (window->isMinimized()) return;  // the previous run's placement stays
    const Placement p{window->pos().x() * kTwipsPerPixel, window->pos().y() * kTwipsPerPixel,
                      window->width() * kTwipsPerPixel, window->height() * kTwipsPerPixel};
    const auto texts = placementToStored(p);
    for (size_t i = 0; i < kPlacementKeys.size(); ++i)
        platform::settings().setValue(QLatin1String(kSettingsSection), QLatin1String(kPlacementKeys[i]),
                                      QString::fromStdString(texts[i]));
}

}  // namespace app
