#pragma once

// The small window that shows a one-line progress text while the group rows are built.

#include <QWidget>

class QLabel;

namespace vt {

class TMessageInfo : public QWidget {
    Q_OBJECT

public:
    explicit TMessageInfo(QWidget* parent = nullptr);

    // Replaces the text and repaints at once, while the caller keeps the event loop busy.
    void setInfo(const QString& text);
    QLabel* info() const { return m_info; }

private:
    QLabel* m_info = nullptr;
};

}  // namespace vt
