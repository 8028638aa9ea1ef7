#include "dialogs/uSearchPC.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/file_error.h"
#include "core/group_source.h"
#include "core/text_file.h"
#include "core/utils.h"
#include "dialogs/message_box.h"
#include "dialogs/plain_text_lines.h"
#include "qt/controls.h"
#include "qt/window_style.h"

namespace vt {

TsearchPDC::TsearchPDC(VtlVar& state, platform::Platform& platform,
                       std::function<WindowGeometry()> mainWindow, QWidget* parent)
    : AnswerableDialog(parent),
      m_state(state),
      m_platform(platform),
      m_mainWindow(std::move(mainWindow)) {
    setObjectName("searchPDC");
    setWindowTitle("searchPDC");
    setFont(designFont(8));
    setFixedSize(447, 310);

    addLabel(this, "Label1",
             "configurez ici la liste des groupes de machines (en général par salle)",
             QRect(8, 8, 431, 17));
    addLabel(this, "Label2", "Vous pouvez  :", QRect(8, 28, 200, 17));
    addLabel(this, "Label3", "-   Soit récupérer les groupes ESU (nom du PDC requis)",
             QRect(24, 46, 415, 17));
    addLabel(this, "Label4", "-   Soit renseigner une liste de groupe machines supplémentaires",
             QRect(24, 64, 415, 17));
    QLabel* restart = addLabel(this, "Label5",
                               "Attention : le logiciel doit être redémarré pour que les "
                               "modifications soient prises en compte",
                               QRect(8, 86, 431, 30));
    restart->setWordWrap(true);
    QPalette red = restart->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    restart->setPalette(red);

    QLabel* listCaption =
        addLabel(this, "Label6", "Liste des groupes de machines :", QRect(8, 122, 200, 17));
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName("Memo1");
    m_memo->setGeometry(8, 140, 200, 162);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A tab in a group name would make a file name that no group can have.
    m_memo->setTabChangesFocus(true);
    listCaption->setBuddy(m_memo);

    QLabel* pdcCaption = addLabel(this, "Label7", "Adresse du pdc :", QRect(224, 122, 200, 17));
    m_edit = new QLineEdit("\\\\", this);
    m_edit->setObjectName("Edit1");
    m_edit->setGeometry(224, 140, 215, 21);
    pdcCaption->setBuddy(m_edit);

    m_esu = new QCheckBox("Utiliser ESU", this);
    m_esu->setObjectName("ESUcheck");
    m_esu->setGeometry(224, 172, 200, 19);

    QPushButton* ok = addButton(this, "BitBtn1", "OK", QRect(272, 277, 75, 25));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TsearchPDC::confirmAndAccept);
    QPushButton* cancel = addButton(this, "BitBtn2", "Annuler", QRect(356, 277, 75, 25));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TsearchPDC::FormActivate() {
    takeLogonServer(m_state, m_platform.system);
    m_edit->setText(QString::fromStdString(m_state.Prefs.pdc));
    if (const auto groups = readTextLines(m_platform.files, m_state.DataDir + kLocalGroupsFile)) {
        m_memo->setPlainText(plainTextOf(*groups));
    }
    if (m_state.Prefs.esu == "true") {
        m_esu->setChecked(true);
    }
}

bool TsearchPDC::BitBtn1Click() {
    std::vector<SkippedGroupLine> skipped;
    try {
        skipped = confirmGroupSource(m_state, m_platform.files,
                                     m_mainWindow ? m_mainWindow() : WindowGeometry{},
                                     m_edit->text().toStdString(), m_esu->isChecked(),
                                     plainTextLines(m_memo->toPlainText()));
    } catch (const FileError& error) {
        showFileError(this, QString::fromUtf8(error.what()));
        return false;
    }
    if (!skipped.empty()) {
        showMessage(this, QString::fromStdString(skippedGroupLinesMessage(skipped)));
    }
    return true;
}

}  // namespace vt
