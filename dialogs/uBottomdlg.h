#pragma once

// The text input dialog: one line of text under a prompt that the caller sets.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vt {

class TOKBottomDlg : public QDialog {
    Q_OBJECT

public:
    explicit TOKBottomDlg(QWidget* parent = nullptr);

    // The caller sets the prompt and the initial text, shows the dialog, then reads the text,
    // which stays available after the dialog has closed.
    QLabel* geditLabel() const { return m_geditLabel; }
    QLineEdit* gEdit() const { return m_gEdit; }

    // Shown modally unless an answer was given in advance (dialog_answers.h).
    int exec() override;

private slots:
    void OKBtnClick();

private:
    QLabel* m_geditLabel = nullptr;
    QLineEdit* m_gEdit = nullptr;
    QPushButton* m_okBtn = nullptr;
    QPushButton* m_cancelBtn = nullptr;
};

}  // namespace vt
