#include "reset_window.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include "settings.h"
#include "units.h"
#include "version.h"

namespace recovery {
namespace {
int Px(int twips) { return units::TwipsToPixels(twips); }

constexpr char kExplanation[] =
    "This utility erases the saved settings of the Tempiva calculator, so that its next start "
    "uses the defaults: the compact window in its default place, with the tempo 120.\n\n"
    "Use it when the calculator's window has ended up where you cannot reach it: close the "
    "calculator, then click the button below.\n\n"
    "You may keep this utility beside the calculator for later use.";
}  // namespace

ResetWindow::ResetWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName("frmReset");
  setWindowTitle(QStringLiteral("Tempiva %1 Recovery").arg(build_info::kVersion));
  setFixedSize(Px(3825), Px(3825));
  QFont font;
  font.setFamilies({"Liberation Sans", "Arimo", "DejaVu Sans"});
  font.setPixelSize(11);  // the calculator's own text size
  setFont(font);
  move(Px(225), Px(510));

  auto* text = new QPlainTextEdit(kExplanation, this);
  text->setObjectName("Text1");
  text->setGeometry(Px(120), Px(120), Px(3555), Px(2775));
  text->setReadOnly(true);
  text->setFrameShape(QFrame::NoFrame);
  text->setFocusPolicy(Qt::ClickFocus);
  text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QPalette palette = text->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  text->setPalette(palette);

  auto* recover = new QPushButton("Restore Tempiva Settings", this);
  recover->setObjectName("cmdRecover");
  recover->setGeometry(Px(120), Px(3240), Px(2715), Px(375));
  recover->setToolTip("Click here to recover Tempiva's original settings");
  connect(recover, &QPushButton::clicked, this, &ResetWindow::cmdRecover_Click);

  auto* exit = new QPushButton("Exit", this);
  exit->setObjectName("cmdExit");
  exit->setGeometry(Px(2940), Px(3240), Px(795), Px(375));
  connect(exit, &QPushButton::clicked, this, &ResetWindow::cmdExit_Click);

  setTabOrder(recover, exit);
  recover->setFocus();
}

void ResetWindow::cmdRecover_Click() {
  (void)settings::DeleteSettingsSection(settings::kApplication, settings::kSection);
}

void ResetWindow::cmdExit_Click() { close(); }

void ResetWindow::paintEvent(QPaintEvent*) {
  // An etched separator between the text and the buttons.
  QPainter painter(this);
  painter.setPen(QPen(QColor(224, 224, 224), 1));
  painter.drawLine(Px(165), Px(2985), Px(3718), Px(2985));
  painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
  painter.drawLine(Px(180), Px(3000), Px(3720), Px(3000));
}

}  // namespace recovery
