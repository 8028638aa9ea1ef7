#include "dialogs/uapropos.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

#include "dialogs/dialog_answers.h"
#include "dialogs/window_placement.h"
#include "qt/controls.h"
#include "qt/window_style.h"

namespace vt {

namespace {

// The program's picture: a power switch symbol on a green disc.
QPixmap programPicture() {
    QPixmap picture(65, 57);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(6.5, 2.5, 52, 52);
    QRadialGradient shade(disc.center() - QPointF(10, 10), 40);
    shade.setColorAt(0, QColor(140, 230, 140));
    shade.setColorAt(1, QColor(20, 120, 40));
    painter.setPen(QPen(QColor(10, 70, 20), 1.5));
    painter.setBrush(shade);
    painter.drawEllipse(disc);

    QPen stroke(Qt::white, 5, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(stroke);
    painter.setBrush(Qt::NoBrush);
    const QRectF ring = disc.adjusted(13, 13, -13, -13);
    painter.drawArc(ring, 120 * 16, -240 * 16);  // the ring, open at the top
    painter.drawLine(QPointF(disc.center().x(), ring.top() - 4),
                     QPointF(disc.center().x(), disc.center().y()));
    return picture;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("A propos");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(298, 226);
    setFont(designFont(8));

    // A lowered outer bevel around a raised inner one.
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setGeometry(8, 8, 281, 161);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    auto* inner = new QFrame(panel);
    inner->setGeometry(1, 1, 279, 159);
    inner->setFrameStyle(QFrame::Panel | QFrame::Raised);

    auto* icon = new QLabel(panel);
    icon->setObjectName("ProgramIcon");
    icon->setGeometry(8, 8, 65, 57);
    icon->setScaledContents(true);
    icon->setPixmap(programPicture());

    QLabel* product = addLabel(panel, "ProductName", "Vantorel", QRect(88, 16, 180, 16));
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);
    addLabel(panel, "Version", "V1.2 beta (31/3/2011)", QRect(88, 40, 180, 16));

    // Each wrapped text gets the height its lines take in the font the box is drawn with, so
    // that no line is cut whatever font stands in for the design font.
    constexpr int kTextLeft = 8;
    constexpr int kTextWidth = 265;
    constexpr int kTextGap = 6;
    int top = 72;
    for (const auto& [name, text] :
         {std::pair{"Copyright",
                    "Logiciel libre pour les administrateurs de réseaux "
                    "d'établissements scolaires, fourni sans garantie."},
          std::pair{"Comments",
                    "Allumage/Extinction centralisée et planifiée des ordinateurs du réseau"}}) {
        QLabel* label = addLabel(panel, name, QString::fromUtf8(text), QRect());
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const int height = label->heightForWidth(kTextWidth);
        label->setGeometry(kTextLeft, top, kTextWidth, height);
        top += height + kTextGap;
    }

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setGeometry(111, 178, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

int TAboutBox::exec() {
    if (const auto answer = DialogAnswers::next(windowTitle(), QString())) {
        setResult(answer->result);
        return answer->result;
    }
    centreOnScreen(*this);
    return QDialog::exec();
}

}  // namespace vt
