#pragma once
// The progress display of a report run on the analysis window's controls: the bar pgrExcel, and
// the picture of picSrcExcel faded in on picDestExcel as the slider sldBlendExcel (the
// picture's transparency) falls. It lives for one run.
#include "report/core/report.h"

#include <QMetaObject>

namespace analysis {
class FrmTabchild;
}

namespace report {

class ProgressDisplay {
public:
    explicit ProgressDisplay(analysis::FrmTabchild& window);
    ~ProgressDisplay();
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    // One progress step: bar up, slider down (which redraws the fade), pending events handled.
    void step();
    // Bar 0 and slider 255: the picture fades out again.
    void reset();
    const Progress& progress() const { return progress_; }

private:
    void sldBlendExcel_Change();

    analysis::FrmTabchild& w_;
    Progress progress_;
    QMetaObject::Connection fade_;
};

}  // namespace report
