#pragma once
// Step 2 of a new data file, and the form of the parameter editor: the test parameters.
#include <QDialog>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace importer {

struct ParameterFields;

class FrmDataInput : public QDialog {
    Q_OBJECT
public:
    // exec() results besides Accepted (saved) and Rejected (cancelled).
    enum Result { Back = 2 };

    explicit FrmDataInput(QWidget* parent = nullptr);

    // The defaults of a freshly loaded form: empty fields, the current time and date,
    // all validity flags false.
    void load();

    QGroupBox *Frame1, *Frame2, *Frame3;
    QLabel* Label1[15] = {};  // indexes 1..14
    QLineEdit *txtproject, *txtdelta, *txtpressure, *txttemperature, *txtmass, *txtarea;
    QLineEdit *txtdynmass, *txttime, *txtweather, *txtroad, *txtcar, *txtconfiguration, *txttester;
    QDateEdit* DTPicker1;
    QCheckBox* chbset;
    QPushButton *cmdclear, *cmdback, *cmdCancel, *cmdFinish;

    ParameterFields fields() const;
    // Fills the fields from a data file being edited (the date only with `withDate`). A field
    // takes the whole text even beyond what the user may type, so an untouched value is written
    // back as it was read.
    void setFields(const ParameterFields& fields, bool withDate);

    void cmdFinish_Click();
    void cmdback_Click();
    void cmdCancel_Click();
    void cmdclear_Click();

signals:
    // Save with every field valid (state.fileHeader filled), and Cancel: the commands that
    // show the form write the file or unload the import dialogs.
    void saveRequested();
    void cancelled();

protected:
    void reject() override;  // Esc and the close box act as Cancel

private:
    QLineEdit* fieldFor(int field) const;
};

}  // namespace importer
