#pragma once
// The splash window frmStart: picture B fades in over picture A (alpha = 255 - slider value,
// 15 per 10 ms step); it ends after 3.5 s, on a key or on a click, whichever comes first, and
// then shows the main window exactly once.
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <array>

class QLabel;
class QSlider;
class QTimer;

namespace app {

// picDest: shows picture A with picture B blended on top at a constant alpha.
class BlendPicture : public QWidget {
    Q_OBJECT
public:
    explicit BlendPicture(QWidget* parent = nullptr);
    QImage background;  // picture A
    QImage source;      // picture B
    int alpha = 0;      // 0 .. 255
    QImage rendered() const;  // what the picture shows now

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class Frmstart : public QWidget {
    Q_OBJECT
public:
    // `target` is the window shown when the splash ends.
    explicit Frmstart(QWidget* target = nullptr, QWidget* parent = nullptr);
    void setTarget(QWidget* target) { target_ = target; }

    BlendPicture* picDest = nullptr;
    QLabel* picSrc = nullptr;
    QSlider* sldBlend = nullptr;
    QTimer* tmr1 = nullptr;  // fade step, 10 ms
    QTimer* tmr2 = nullptr;  // end of the splash, 3500 ms
    QLabel* lblVersion = nullptr;
    std::array<QLabel*, 3> lblNames{};

    void tmr1_Timer();
    void tmr2_Timer();
    void sldBlend_Change();
    bool finished() const { return finished_; }
    int targetShows() const { return shows_; }

signals:
    void ended();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void finish();
    QPointer<QWidget> target_;
    bool started_ = false;
    bool finished_ = false;
    int shows_ = 0;
};

}  // namespace app
