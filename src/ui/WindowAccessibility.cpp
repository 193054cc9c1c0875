#include "WindowAccessibility.h"

#include <QAccessible>
#include <QAction>
#include <QAccessibleWidget>
#include <QToolBar>
#include <QToolButton>

#include <utility>

#include "MessagePrint.h"
#include "PreviewArea.h"
#include "TNEFReaderConst.h"
#include "ui_fmTNEFReader.h"

namespace {

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }

// The name of the attachment the preview shows, kept apart from its accessible texts.
constexpr const char* kPreviewFileProperty = "velquinPreviewFile";


// The white label under the site link only draws its engraved shadow: reported as
// invisible and without text, so that the link is read once.
class TShadowLabel : public QAccessibleWidget {
public:
  explicit TShadowLabel(QWidget* label) : QAccessibleWidget(label, QAccessible::NoRole) {}
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.invisible = true;
    return s;
  }
  QString text(QAccessible::Text) const override { return QString(); }
};

// The web pane repeats the start of the body that the message pane already offers: it is
// one named pane to assistive technology, its text not read a second time.
class TSummaryPane : public QAccessibleWidget {
public:
  explicit TSummaryPane(QWidget* browser) : QAccessibleWidget(browser, QAccessible::Pane) {}
  QString text(QAccessible::Text t) const override {
    const QWidget* pane = widget()->parentWidget();
    if (pane == nullptr) return QString();
    if (t == QAccessible::Name) return pane->accessibleName();
    if (t == QAccessible::Description) return pane->accessibleDescription();
    return QString();
  }
};

QAccessibleInterface* WindowAccessible(const QString& className, QObject* object) {
  if (object == nullptr || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  // The preview paints a picture and holds no text of its own: an image to a screen reader.
  if (className == QLatin1String("TPreviewArea")) return new QAccessibleWidget(widget, QAccessible::Graphic);
  if (object->objectName() == QLatin1String("Label1") && widget->parentWidget() != nullptr &&
      widget->parentWidget()->inherits("TPreviewArea"))
    return new TShadowLabel(widget);
  if (object->objectName() == QLatin1String("WebBrowser1") && widget->parentWidget() != nullptr &&
      widget->parentWidget()->inherits("TfraGoogleAd"))
    return new TSummaryPane(widget);
  return nullptr;
}

}  // namespace

void InstallWindowAccessibility() {
  static const bool installed = (QAccessible::installFactory(WindowAccessible), true);
  (void)installed;
}

void NameWindowControls(Ui::TfmVelquinDatReader& form) {
  InstallWindowAccessibility();
  form.lvwFiles->setAccessibleName(Res(TStringId::AccessibleList));
  form.lvwFiles->setAccessibleDescription(Res(TStringId::AccessibleListDescription));
  form.RichEdit1->setAccessibleName(Res(TStringId::AccessibleMessage));
  form.RichEdit1->setAccessibleDescription(Res(TStringId::AccessibleMessageDescription));
  form.edtSubject->setAccessibleName(WithoutMnemonic(form.lblSubject->text()));
  form.edtSubject->setAccessibleDescription(Res(TStringId::AccessibleSubjectDescription));
  form.edtFrom->setAccessibleName(WithoutMnemonic(form.lblFrom->text()));
  form.edtFrom->setAccessibleDescription(Res(TStringId::AccessibleFromDescription));
  form.fraGoogleAd1->setAccessibleName(Res(TStringId::AccessibleWebPane));
  form.fraGoogleAd1->setAccessibleDescription(Res(TStringId::AccessibleWebPaneDescription));
  // Each action says what it does, in its tooltip and to a screen reader from its button.
  const std::pair<QAction*, TStringId> descriptions[] = {
      {form.actOpenWinmail, TStringId::DescOpenWinmail}, {form.actOpen, TStringId::DescOpen},
      {form.actSave, TStringId::DescSave},               {form.actSaveAll, TStringId::DescSaveAll},
      {form.actOptions, TStringId::DescOptions},         {form.actWebsite, TStringId::DescWebsite}};
  for (const auto& [action, id] : descriptions) {
    action->setToolTip(WithoutMnemonic(action->text()) + QStringLiteral(" (") +
                       action->shortcut().toString(QKeySequence::NativeText) + QStringLiteral(")\n") + Res(id));
    action->setStatusTip(Res(id));
    for (QToolBar* bar : {form.ToolBar1, form.ToolBar})
      if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
        button->setAccessibleName(WithoutMnemonic(action->text()));
        button->setAccessibleDescription(Res(id));
      }
  }
  NamePreview(form, form.pnlPreview->property(kPreviewFileProperty).toString());
}

void NamePreview(Ui::TfmVelquinDatReader& form, const QString& fileName) {
  form.pnlPreview->setProperty(kPreviewFileProperty, fileName);
  form.pnlPreview->setAccessibleDescription(fileName.isEmpty() ? Res(TStringId::AccessiblePreviewDescription) : fileName);
  form.pnlPreview->setAccessibleName(
      fileName.isEmpty() ? Res(TStringId::AccessiblePreview)
                         : QString::fromUtf8(FormatRes(TStringId::AccessiblePreviewOf, {Arg(fileName.toStdString())})));
}
