#pragma once
// A stand-in for the analysis window: it implements the frame's interface, records what the
// frame asks of it, and runs the frame side of activation and unload as the real one does.
#include "app/frame.h"
#include "frame_api/frame_link.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include <map>
#include <vector>

class FakeAnalysisWindow : public QWidget, public frame::AnalysisWindowApi {
public:
    explicit FakeAnalysisWindow(int number) : number_(number)
    {
        setObjectName(QStringLiteral("frmTabchild%1").arg(number));
        auto* layout = new QVBoxLayout(this);
        comments = new QPlainTextEdit(this);
        frame::setControlTag(comments, QStringLiteral("Text"));
        grid = new QTableWidget(3, 2, this);
        frame::setControlTag(grid, QStringLiteral("Table"));
        diagram = new QLabel(this);
        diagram->setFocusPolicy(Qt::StrongFocus);
        frame::setControlTag(diagram, QStringLiteral("Picture"));
        plain = new QPlainTextEdit(this);  // no tag: takes no part in the Edit commands
        layout->addWidget(comments);
        layout->addWidget(grid);
        layout->addWidget(diagram);
        layout->addWidget(plain);
        diagramImage = QImage(7, 5, QImage::Format_RGB32);
        diagramImage.fill(Qt::red);
        bars[frame::NavBar::Top] = {1000, 5000, 0};
        bars[frame::NavBar::Height] = {500, 0, 0};
        bars[frame::NavBar::Left] = {100, 0, 9000};
        bars[frame::NavBar::Width] = {2000, 0, 0};
    }

    int windowNumber() const override { return number_; }
    QWidget* windowWidget() override { return this; }
    bool isOpen() const override { return open_; }
    QString overflowTag() const override { return overflow; }
    void Resize(int index) override { resizeCalls.push_back(index); }
    void startscr(int index) override { startscrCalls.push_back(index); }
    void selectPage(int page) override { pages.push_back(page); }
    frame::NavRange navBar(frame::NavBar bar) const override { return bars.at(bar); }
    void setNavValue(frame::NavBar bar, int value) override
    {
        bars[bar].value = value;
        navWrites.push_back({bar, value});
    }
    QImage editPicture(QWidget* control) override
    {
        return control == diagram ? diagramImage : frame::AnalysisWindowApi::editPicture(control);
    }

    void Form_Activate() override { activate(); }

    void activate()
    {
        if (frame::FrameLink* frame = frame::frameLink()) frame->windowActivated(*this, files);
    }

    QPlainTextEdit* comments = nullptr;
    QTableWidget* grid = nullptr;
    QLabel* diagram = nullptr;
    QPlainTextEdit* plain = nullptr;
    QImage diagramImage;
    QString overflow;
    frame::AnalysisWindowFiles files{{QStringLiteral("run1.ctd")}, QStringLiteral("/data/"), QStringLiteral("run1.ctd"), {}};
    std::vector<int> pages, resizeCalls, startscrCalls;
    std::map<frame::NavBar, frame::NavRange> bars;
    std::vector<std::pair<frame::NavBar, int>> navWrites;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (frame::FrameLink* frame = frame::frameLink(); open_ && frame) frame->windowUnloading(*this);
        open_ = false;
        event->accept();
    }

private:
    int number_;
    bool open_ = true;
};
