#include "import/frmdatainput.h"

#include "datafile/header_lines.h"
#include "import/core/import_state.h"
#include "import/core/parameters.h"
#include "platform/controls.h"
#include "platform/services.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTime>

namespace importer {
namespace {

using platform::make;
using platform::px;

const char* const kCaptions[15] = {
    nullptr, "Project name", "Test start-time", "Sample rate, s", "Air pressure, bar", "Air temperature,\u00B0C",
    "Vehicle mass,kg", "Frontal area, m\u00B2", "Dynamic mass, kg", "Date", "Weather", "Road conditions", "Car",
    "Car configuration", "Tester"};

QString singleLineText(const QString& text) { return QString::fromStdString(datafile::singleLine(text.toStdString())); }

int labelTop(int i)
{
    if (i == 1) return 400;
    if (i == 2) return 1800;
    if (i <= 7) return 700 * i - 1000;
    if (i <= 9) return 700 * (i - 7) - 300;
    return 700 * (i - 7) + 370;
}

QLineEdit* field(QWidget* parent, const char* name, int top, int maxLength = 0)
{
    auto* e = make<QLineEdit>(parent, name, {150, top, 1750, 300});
    QFont f = e->font();
    f.setPointSize(9);
    e->setFont(f);
    if (maxLength > 0) e->setMaxLength(maxLength);
    // A pasted tab or line break becomes a blank where it lands, so the field shows what its
    // header line will hold.
    QObject::connect(e, &QLineEdit::textEdited, e, [e](const QString& text) {
        const QString line = singleLineText(text);
        if (line == text) return;
        const int cursor = e->cursorPosition();
        e->setText(line);
        e->setCursorPosition(cursor);
    });
    return e;
}

}  // namespace

FrmDataInput::FrmDataInput(QWidget* parent) : QDialog(parent)
{
    platform::fixedDialog(this, QStringLiteral("frmdatainput"), QStringLiteral("Data for CTD-file (2)"), 4800, 7500);

    Frame1 = make<QGroupBox>(this, "Frame1", {300, 200, 2050, 4600}, QStringLiteral("Required parameters"));
    Frame2 = make<QGroupBox>(this, "Frame2", {2450, 200, 2050, 6000}, QStringLiteral("Additional data"));
    Frame3 = make<QGroupBox>(this, "Frame3", {300, 4900, 2050, 1310}, QStringLiteral("Setting options"));

    for (int i = 1; i <= 14; ++i) {
        const bool required = i == 1 || (i >= 3 && i <= 7);
        auto* l = make<QLabel>(required ? Frame1 : Frame2, QStringLiteral("Label1_%1").arg(i), {150, labelTop(i), 1750, 300},
                               QString::fromUtf8(kCaptions[i]));
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Box);
        QFont f = l->font();
        f.setBold(true);
        f.setPointSize(8);
        l->setFont(f);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, required ? QColor(0xC0, 0xC0, 0xC0) : QApplication::palette().color(QPalette::Button));
        l->setPalette(p);
        Label1[i] = l;
    }

    txtproject = field(Frame1, "txtproject", 650);
    txtdelta = field(Frame1, "txtdelta", 1350, 10);
    txtpressure = field(Frame1, "txtpressure", 2050, 10);
    txttemperature = field(Frame1, "txttemperature", 2750, 10);
    txtmass = field(Frame1, "txtmass", 3450, 10);
    txtarea = field(Frame1, "txtarea", 4150, 10);
    txtdynmass = field(Frame2, "txtdynmass", 650, 10);
    DTPicker1 = make<QDateEdit>(Frame2, "DTPicker1", {150, 1350, 1750, 300});
    DTPicker1->setCalendarPopup(true);
    DTPicker1->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    {
        QFont f = DTPicker1->font();
        f.setPointSize(9);
        DTPicker1->setFont(f);
    }
    txttime = field(Frame2, "txttime", 2050, 5);
    txtweather = field(Frame2, "txtweather", 2750);
    txtroad = field(Frame2, "txtroad", 3450);
    txtcar = field(Frame2, "txtcar", 4150);
    txtconfiguration = field(Frame2, "txtconfiguration", 4850);
    txttester = field(Frame2, "txttester", 5550);

    chbset = make<QCheckBox>(Frame3, "chbset", QStringLiteral("Adopt current settings"));
    chbset->move(px(150), px(300));
    chbset->adjustSize();
    cmdclear = make<QPushButton>(Frame3, "cmdclear", {150, 750, 1750, 400}, QStringLiteral("C&lear settings"));

    cmdback = make<QPushButton>(this, "cmdback", {300, 6400, 1250, 400}, QStringLiteral("&Back"));
    cmdCancel = make<QPushButton>(this, "cmdCancel", {1750, 6400, 1300, 400}, QStringLiteral("&Cancel"));
    cmdFinish = make<QPushButton>(this, "cmdFinish", {3250, 6400, 1250, 400}, QStringLiteral("&Save"));

    QWidget* order[] = {txtproject, txtdelta, txtpressure, txttemperature, txtmass, txtarea, txtdynmass, DTPicker1,
                        txttime, txtweather, txtroad, txtcar, txtconfiguration, txttester, cmdFinish, cmdback,
                        cmdCancel, chbset, cmdclear};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    connect(cmdFinish, &QPushButton::clicked, this, &FrmDataInput::cmdFinish_Click);
    connect(cmdback, &QPushButton::clicked, this, &FrmDataInput::cmdback_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmDataInput::cmdCancel_Click);
    connect(cmdclear, &QPushButton::clicked, this, &FrmDataInput::cmdclear_Click);

    load();
}

void FrmDataInput::load()
{
    for (QLineEdit* e : {txtproject, txtdelta, txtpressure, txttemperature, txtmass, txtarea, txtdynmass, txtweather,
                         txtroad, txtcar, txtconfiguration, txttester}) {
        e->clear();
        e->setEnabled(true);
    }
    for (QLineEdit* e : {txtdelta, txtpressure, txttemperature, txtmass, txtarea, txtdynmass}) e->setMaxLength(10);
    txttime->setMaxLength(5);
    txttime->setEnabled(true);
    txttime->setText(QTime::currentTime().toString(QStringLiteral("HH:mm")));
    DTPicker1->setDate(QDate::currentDate());
    chbset->setChecked(false);
    chbset->setEnabled(true);
    cmdback->setEnabled(true);
    state.fieldValid.fill(false);
}

ParameterFields FrmDataInput::fields() const
{
    ParameterFields f;
    f.project = txtproject->text().toStdString();
    f.delta = txtdelta->text().toStdString();
    f.pressure = txtpressure->text().toStdString();
    f.temperature = txttemperature->text().toStdString();
    f.mass = txtmass->text().toStdString();
    f.area = txtarea->text().toStdString();
    f.dynmass = txtdynmass->text().toStdString();
    f.time = txttime->text().toStdString();
    f.weather = txtweather->text().toStdString();
    f.road = txtroad->text().toStdString();
    f.car = txtcar->text().toStdString();
    f.configuration = txtconfiguration->text().toStdString();
    f.tester = txttester->text().toStdString();
    const QDate d = DTPicker1->date();
    f.day = d.day();
    f.month = d.month();
    f.year = d.year();
    return f;
}

void FrmDataInput::setFields(const ParameterFields& f, bool withDate)
{
    const std::pair<QLineEdit*, const std::string*> texts[] = {
        {txtproject, &f.project}, {txtdelta, &f.delta}, {txtpressure, &f.pressure}, {txttemperature, &f.temperature},
        {txtmass, &f.mass}, {txtarea, &f.area}, {txtdynmass, &f.dynmass}, {txttime, &f.time},
        {txtweather, &f.weather}, {txtroad, &f.road}, {txtcar, &f.car}, {txtconfiguration, &f.configuration},
        {txttester, &f.tester}};
    for (const auto& [edit, text] : texts) {
        const QString t = singleLineText(QString::fromStdString(*text));
        if (t.size() > edit->maxLength()) edit->setMaxLength(static_cast<int>(t.size()));
        edit->setText(t);
    }
    if (withDate) DTPicker1->setDate(QDate(f.year, f.month, f.day));
}

QLineEdit* FrmDataInput::fieldFor(int f) const
{
    switch (static_cast<Field>(f)) {
    case Field::Project: return txtproject;
    case Field::Time: return txttime;
    case Field::Delta: return txtdelta;
    case Field::Pressure: return txtpressure;
    case Field::Temperature: return txttemperature;
    case Field::Mass: return txtmass;
    case Field::Area: return txtarea;
    case Field::Dynmass: return txtdynmass;
    }
    return txtproject;
}

void FrmDataInput::cmdFinish_Click()
{
    state.fileHeader = collectTestParameters(fields(), state);
    const ValidationOutcome outcome = validateTestParameters(state.fileHeader, state.fieldValid, txttime->text().toStdString());
    for (const ValidationMessage& m : outcome.messages) {
        platform::showMessage(m.message, this);
        if (m.focus == Field::Time && outcome.startTimeText) txttime->setText(QString::fromStdString(*outcome.startTimeText));
        QLineEdit* e = fieldFor(static_cast<int>(m.focus));
        e->setFocus();
        if (m.selectLength > 0) e->setSelection(0, m.selectLength);
    }
    if (!allFieldsValid(state.fieldValid)) return;
    emit saveRequested();
}

void FrmDataInput::cmdback_Click() { done(Back); }

void FrmDataInput::cmdCancel_Click()
{
    if (state.editingLoadedFile) state.editingLoadedFile = false;
    emit cancelled();
}

void FrmDataInput::reject() { cmdCancel_Click(); }

void FrmDataInput::cmdclear_Click()
{
    // A field that cannot be edited (the sample rate a series shares) keeps its value: emptied,
    // no Save could pass it.
    for (QLineEdit* e : {txtproject, txtdelta, txtpressure, txttemperature, txtmass, txtarea, txtdynmass, txttime,
                         txtweather, txtroad, txtcar, txtconfiguration, txttester})
        if (e->isEnabled()) e->clear();
    chbset->setChecked(false);
}

}  // namespace importer
