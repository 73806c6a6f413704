#include "about_box.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "desktop_shell.h"
#include "looks.h"
#include "version.h"
#include "widgets.h"

namespace ui {
namespace {
QRect Twips(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
               TwipsToPixels(height));
}
}  // namespace

AboutBox::AboutBox(DesktopShell& shell, const QString& makerNotice, const QString& makerAddress)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      shell_(shell),
      makerAddress_(makerAddress) {
  setObjectName("frmAbout");
  setModal(false);
  setFixedSize(Twips(0, 0, 6000, 2430).size());
  setAttribute(Qt::WA_DeleteOnClose, false);

  const QFont font = FontFor({});
  auto* title = new QLabel("Tempiva for 32 bit Windows", this);
  title->setObjectName("lblTitle");
  title->setGeometry(Twips(120, 120, 2805, 300));
  auto* version =
      new QLabel(QStringLiteral("Version %1 , 02/1998").arg(build_info::kVersion), this);
  version->setObjectName("lblVersion");
  version->setGeometry(Twips(120, 390, 2895, 285));
  auto* description = new QLabel("", this);
  description->setObjectName("lblDescription");
  description->setWordWrap(true);
  description->setGeometry(Twips(120, 780, 4605, 975));

  ShapeItem::Rectangle(Twips(0, 1875, 6015, 690), kBoxBack, kBoxBack, this)
      ->setObjectName("Shape1");

  auto* close = new QPushButton("Close", this);
  close->setObjectName("cmdOK");
  close->setGeometry(Twips(120, 1980, 870, 375));
  close->setDefault(true);
  close->setAutoDefault(true);
  connect(close, &QPushButton::clicked, this, &AboutBox::closeRequested);

  auto* link = new ClickLabel(makerNotice + '\n' + makerAddress, this);
  link->setObjectName("Label1");
  link->setGeometry(Twips(2160, 1980, 3720, 600));
  link->setAlignment(Qt::AlignRight | Qt::AlignTop);
  QPalette palette = link->palette();
  palette.setColor(QPalette::WindowText, kOutputText);
  link->setPalette(palette);
  link->setCursor(Qt::PointingHandCursor);
  link->setToolTip(makerAddress);
  link->setAccessibleName(makerAddress);
  connect(link, &ClickLabel::clicked, this, &AboutBox::Label1_Click);

  for (QWidget* child : findChildren<QWidget*>()) {
    child->setFont(font);
    child->installEventFilter(this);  // keys reach the focused button first
  }
  installEventFilter(this);
  close->setFocus();
}

void AboutBox::Form_Load() { setWindowTitle("About Tempiva"); }

void AboutBox::Label1_Click() {
  (void)shell_.Open(this, QString(), makerAddress_, QString(), QDir::rootPath(),
                    shell::kShowNormal);
}

void AboutBox::closeEvent(QCloseEvent* event) {
  event->ignore();  // the program unloads the box
  emit closeRequested();
}

void AboutBox::done(int) { emit closeRequested(); }  // Enter and Escape

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    releasedKey_ = key->key();
    releasedAt_ = key->timestamp();
  } else if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool pairedRepeat =
        key->timestamp() != 0 && key->key() == releasedKey_ && key->timestamp() == releasedAt_;
    if (key->isAutoRepeat() || pairedRepeat) return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ui
