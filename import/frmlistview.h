#pragma once
// Step 1 of a new data file: the chosen text file, its lines, its structure and the statistics.
#include "import/core/import_lines.h"

#include <QDialog>

#include <functional>

#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace importer {

class FrmListview : public QDialog {
    Q_OBJECT
public:
    // exec() results besides Accepted/Rejected.
    enum Result { Next = 2 };

    explicit FrmListview(QWidget* parent = nullptr);

    // Back to the state of a freshly loaded dialog (the defaults of its load).
    void load();

    QGroupBox *Frame4, *Frame2, *Frame1, *Frame3;
    QLineEdit* txtpath;
    QListView* lstview;  // every non-empty line of the file as read, served from the lines
    QLabel *Label6, *Label11, *Label12, *Label9, *Label8, *Label7;
    QLineEdit* txt1;
    QPushButton* cmdok;
    QComboBox *cmb5, *cmb6, *cmb2, *cmb3, *cmb4;
    QLineEdit* txtnone;
    QLabel *Label1, *Label2, *Label4, *Label3, *Label5;
    QLabel *lblCount, *lblMax, *lblmaxwhere, *lblMin, *lblminwhere;
    QPushButton *cmdchange, *cmdReload, *cmdCancel, *cmdnext;

    // Shows the lines in the preview; it keeps them as they are now.
    void showLines(const ImportLines& lines);

    void clearResult();
    // After a file that could not be read: the choices stay, the structure is to be confirmed again.
    void returnToChoosing();
    // Selects an entry as a user would: the list's handler runs.
    void select(QComboBox* list, int index);

    void cmb2_Change();
    void cmb3_Change();
    void cmb4_Change();
    void cmb5_Change();
    void cmb6_Change();
    void txt1_Change();
    void cmdok_Click();
    void cmdReload_Click();
    void cmdchange_Click();
    void cmdnext_Click();
    void cmdCancel_Click();

    // The plausibility check of the last import run; tells the user when it fails, with the
    // reason on the message's second line.
    void checkDataList(const std::string& refusal = {});
    // Whether every velocity of the last run lay inside the double range.
    bool numbersInRange = true;
    // Edit file: hands the text file to the desktop; false when it could not (the user was
    // told), and the dialog then keeps the file and its choices.
    std::function<bool()> editFile;

signals:
    // The commands that show the dialog answer these: another import run (after OK has
    // confirmed the structure, or for a different file), the chosen file opened for editing,
    // and both import dialogs unloaded.
    void importRequested();
    void cancelled();

protected:
    void reject() override;  // Esc and the close box act as Cancel

private:
    void emptyResultLabels();
    void enterChoosingState();
    bool loading_ = false;
    class LinesModel;
    LinesModel* lines_;
};

}  // namespace importer
