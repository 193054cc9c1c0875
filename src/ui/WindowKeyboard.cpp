#include "WindowKeyboard.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "MessageBrowser.h"
#include "TNEFReaderConst.h"
#include "ui_fmTNEFReader.h"

namespace {

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }

}  // namespace

TWindowActions SetupKeyboard(QMainWindow& window, Ui::TfmVelquinDatReader& form) {
  form.actOpenWinmail->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  // Return on the list opens (below); Ctrl+Return works from anywhere in the window.
  form.actOpen->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  form.actSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  form.actSaveAll->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  form.actOptions->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
  form.actWebsite->setShortcut(QKeySequence(Qt::Key_F1));

  TWindowActions actions;
  actions.Quit = new QAction(&window);
  actions.Quit->setObjectName(QStringLiteral("actQuit"));
  actions.Quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  QObject::connect(actions.Quit, &QAction::triggered, &window, &QWidget::close);
  actions.About = new QAction(&window);
  actions.About->setObjectName(QStringLiteral("actAbout"));
  auto makeAction = [&window](const char* name, QList<QKeySequence> keys) {
    auto* action = new QAction(&window);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    return action;
  };
  // Ctrl+= is the same key as Ctrl++ without Shift on many layouts; the keypad's keys too.
  actions.ZoomIn = makeAction("actZoomIn", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
                                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus),
                                            QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus))});
  actions.ZoomOut = makeAction("actZoomOut", {QKeySequence(Qt::CTRL | Qt::Key_Minus),
                                              QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus))});
  actions.ZoomReset = makeAction("actZoomReset", {QKeySequence(Qt::CTRL | Qt::Key_0),
                                                  QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_0))});
  QObject::connect(actions.ZoomIn, &QAction::triggered, form.RichEdit1, &TMessageBrowser::ZoomIn);
  QObject::connect(actions.ZoomOut, &QAction::triggered, form.RichEdit1, &TMessageBrowser::ZoomOut);
  QObject::connect(actions.ZoomReset, &QAction::triggered, form.RichEdit1, &TMessageBrowser::ResetZoom);
  window.addActions({actions.Quit, actions.About, actions.ZoomIn, actions.ZoomOut, actions.ZoomReset});
  RetranslateWindowActions(actions);

  // Help's button also offers the About box, from its arrow.
  if (auto* help = qobject_cast<QToolButton*>(form.ToolBar1->widgetForAction(form.actWebsite))) {
    auto* menu = new QMenu(help);
    menu->setObjectName(QStringLiteral("HelpMenu"));
    menu->addAction(form.actWebsite);
    menu->addAction(actions.About);
    help->setMenu(menu);
    help->setPopupMode(QToolButton::MenuButtonPopup);
  }

  // Shift+F10 opens the list's context menu at the current row, as the Menu key does.
  auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), form.lvwFiles, nullptr, nullptr,
                                Qt::WidgetShortcut);
  QObject::connect(menuKey, &QShortcut::activated, form.lvwFiles, [list = form.lvwFiles] {
    emit list->customContextMenuRequested(list->visualRect(list->currentIndex()).center());
  });

  // Return and Enter on the list run Open, as a double-click does; only there, so that
  // Return keeps its meaning in the other controls.
  for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
    auto* shortcut = new QShortcut(QKeySequence(key), form.lvwFiles, nullptr, nullptr, Qt::WidgetShortcut);
    QObject::connect(shortcut, &QShortcut::activated, form.actOpen, &QAction::trigger);
  }

  // A toolbar's buttons take no focus by default; here Tab reaches them (a disabled one is
  // passed over), then the list, the message pane's fields and body, and the web pane.
  QWidget* previous = nullptr;
  auto chain = [&previous](QWidget* next) {
    if (next == nullptr) return;
    if (previous != nullptr) QWidget::setTabOrder(previous, next);
    previous = next;
  };
  for (QToolBar* bar : {form.ToolBar1, form.ToolBar}) {
    for (QAction* action : bar->actions()) {
      if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
        button->setFocusPolicy(Qt::TabFocus);
        chain(button);
      }
    }
  }
  chain(form.lvwFiles);
  chain(form.edtSubject);
  chain(form.edtFrom);
  chain(form.RichEdit1);
  chain(form.fraGoogleAd1->findChild<QTextBrowser*>());
  return actions;
}

void RetranslateWindowActions(const TWindowActions& actions) {
  if (actions.Quit) actions.Quit->setText(Res(TStringId::ActionQuit));
  if (actions.About) actions.About->setText(Res(TStringId::ActionAbout));
  if (actions.ZoomIn) actions.ZoomIn->setText(Res(TStringId::ActionZoomIn));
  if (actions.ZoomOut) actions.ZoomOut->setText(Res(TStringId::ActionZoomOut));
  if (actions.ZoomReset) actions.ZoomReset->setText(Res(TStringId::ActionZoomReset));
}
