#pragma once

// The about box: the product's name, version and purpose.

#include <QDialog>

namespace vt {

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Shown modally unless an answer was given in advance (dialog_answers.h).
    int exec() override;
};

}  // namespace vt
