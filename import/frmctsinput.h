#pragma once
// The series composition: the data files of the series in order, and its comment.
#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace importer {

class FrmCTSinput : public QDialog {
    Q_OBJECT
public:
    explicit FrmCTSinput(QWidget* parent = nullptr);

    bool okPressed = false;

    QGroupBox* fraCTSList;
    QLabel* lblCtspicdir;
    QLabel* imgCTSDir;
    QLineEdit* txtCTSdir;
    QListWidget* lstCTDtoCTS;
    QPushButton *cmdCTDtoList, *cmdCTDDelList, *cmdSortUp, *cmdSortDown, *cmdClearCTSList;
    QGroupBox* fraCTSComments;
    QPlainTextEdit* txtCTSComments;
    QPushButton *cmdCTSok, *cmdCancel;

    QStringList names() const;

    void cmdCTDtoList_Click();
    void cmdCTDDelList_Click();
    void cmdSortUp_Click();
    void cmdSortDown_Click();
    void cmdClearCTSList_Click();
    void cmdCTSok_Click();
    void cmdCancel_Click();

protected:
    void reject() override;  // Esc and the close box act as Cancel

private:
    void countRule();  // Save and the arrows need 2 to 30 entries
    void move(int by, const char* title);
};

}  // namespace importer
