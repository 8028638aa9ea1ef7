#include "dialogs/uBottomdlg.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialog_answers.h"
#include "dialogs/window_placement.h"

namespace vt {

TOKBottomDlg::TOKBottomDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("OKBottomDlg");
    setWindowTitle("Dialogue");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(313, 214);

    auto* bevel = new QFrame(this);
    bevel->setObjectName("Bevel1");
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(8, 8, 297, 161);

    m_geditLabel = new QLabel("geditLabel", this);
    m_geditLabel->setObjectName("geditLabel");
    m_geditLabel->setTextFormat(Qt::PlainText);
    m_geditLabel->setGeometry(24, 32, 265, 34);
    m_geditLabel->setWordWrap(true);
    m_geditLabel->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    m_gEdit = new QLineEdit("gEdit", this);
    m_gEdit->setObjectName("gEdit");
    m_gEdit->setGeometry(24, 80, 265, 21);
    m_geditLabel->setBuddy(m_gEdit);

    m_okBtn = new QPushButton("OK", this);
    m_okBtn->setObjectName("OKBtn");
    m_okBtn->setGeometry(79, 180, 75, 25);
    m_okBtn->setDefault(true);
    connect(m_okBtn, &QPushButton::clicked, this, &TOKBottomDlg::OKBtnClick);

    // Escape is the dialog's own reject, which "Annuler" shares.
    m_cancelBtn = new QPushButton("Annuler", this);
    m_cancelBtn->setObjectName("CancelBtn");
    m_cancelBtn->setGeometry(159, 180, 75, 25);
    m_cancelBtn->setAutoDefault(false);
    connect(m_cancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

int TOKBottomDlg::exec() {
    if (const auto answer = DialogAnswers::next(windowTitle(), m_geditLabel->text())) {
        if (answer->text) {
            m_gEdit->setText(*answer->text);
        }
        setResult(answer->result);
        return answer->result;
    }
    centreOnScreen(*this);
    m_gEdit->setFocus();
    return QDialog::exec();
}

void TOKBottomDlg::OKBtnClick() {
    accept();
}

}  // namespace vt
