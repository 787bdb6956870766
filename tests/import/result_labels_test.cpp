// The import's result labels: every number shown whole, inside its frame, none over another.
#include "import/frmlistview.h"
#include "platform/fakes.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <vector>

namespace {

using importer::FrmListview;

struct Texts {
    const char* count;
    const char* max;
    const char* maxRow;
    const char* min;
    const char* minRow;
};

void show(FrmListview& lv, const Texts& t)
{
    lv.lblCount->setText(QString::fromLatin1(t.count));
    lv.lblMax->setText(QString::fromLatin1(t.max));
    lv.lblmaxwhere->setText(QString::fromLatin1(t.maxRow));
    lv.lblMin->setText(QString::fromLatin1(t.min));
    lv.lblminwhere->setText(QString::fromLatin1(t.minRow));
    QApplication::processEvents();
}

std::vector<QLabel*> frameLabels(const FrmListview& lv)
{
    return {lv.Label1, lv.lblCount, lv.Label2, lv.lblMax, lv.Label4, lv.lblmaxwhere,
            lv.Label3, lv.lblMin, lv.Label5, lv.lblminwhere};
}

TEST(ImportResultLabels, NumbersWholeInsideTheFrameAndApart)
{
    platform::ScopedFakes fakes;
    FrmListview lv;
    lv.show();
    QApplication::processEvents();
    std::vector<QRect> given;
    for (QLabel* l : frameLabels(lv)) given.push_back(l->geometry());

    const Texts cases[] = {
        {"5", "33.500", "1", "5.500", "5"},
        {"50000000", "33.500", "1", "5.500", "49991073"},
        {"2147483647", "999.999", "2147483647", "0.001", "2147483647"},
        {"12", "33.500", "2147483647", "5.500", "12"},
    };
    for (const Texts& t : cases) {
        SCOPED_TRACE(t.count);
        show(lv, t);
        const std::vector<QLabel*> labels = frameLabels(lv);
        for (QLabel* l : labels) EXPECT_TRUE(lv.Frame3->rect().contains(l->geometry())) << l->objectName().toStdString();
        for (QLabel* value : {lv.lblCount, lv.lblMax, lv.lblmaxwhere, lv.lblMin, lv.lblminwhere})
            EXPECT_GE(value->width(), value->sizeHint().width()) << value->text().toStdString();
        for (std::size_t i = 0; i < labels.size(); ++i)
            for (std::size_t j = i + 1; j < labels.size(); ++j)
                EXPECT_FALSE(labels[i]->geometry().intersects(labels[j]->geometry()))
                    << labels[i]->objectName().toStdString() << " " << labels[j]->objectName().toStdString();
        for (QLabel* value : {lv.lblCount, lv.lblMax, lv.lblmaxwhere, lv.lblMin, lv.lblminwhere})
            EXPECT_EQ(value->toolTip().toStdString(), value->text().toStdString());
    }

    // Numbers that fit their places leave the frame as it was laid out, in the dialog's font.
    show(lv, cases[0]);
    for (std::size_t i = 0; i < given.size(); ++i) EXPECT_EQ(frameLabels(lv)[i]->geometry(), given[i]) << i;
    for (QLabel* value : {lv.lblCount, lv.lblMax, lv.lblmaxwhere, lv.lblMin, lv.lblminwhere})
        EXPECT_EQ(value->font(), lv.Label1->font());
    show(lv, {"", "", "", "", ""});
    for (std::size_t i = 0; i < given.size(); ++i) EXPECT_EQ(frameLabels(lv)[i]->geometry(), given[i]) << i;
}

TEST(ImportResultLabels, AValueWithoutRoomIsLeftOutNotCut)
{
    platform::ScopedFakes fakes;
    FrmListview lv;
    lv.show();
    const QString huge = QStringLiteral("123456789012345678.000");
    show(lv, {"3", "123456789012345678.000", "2147483647", "5.500", "3"});
    EXPECT_EQ(lv.lblMax->width(), 0);
    EXPECT_EQ(lv.lblMax->text().toStdString(), huge.toStdString());
    EXPECT_EQ(lv.Label2->toolTip().toStdString(), huge.toStdString());
    EXPECT_GE(lv.lblmaxwhere->width(), lv.lblmaxwhere->sizeHint().width());
    EXPECT_TRUE(lv.Frame3->rect().contains(lv.lblmaxwhere->geometry()));
    // A later value that fits is shown again.
    show(lv, {"3", "33.500", "1", "5.500", "3"});
    EXPECT_GE(lv.lblMax->width(), lv.lblMax->sizeHint().width());
    EXPECT_TRUE(lv.Label2->toolTip().isEmpty());
}

}  // namespace
