#include "WindowAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "PreviewArea.h"
#include "TNEFReaderConst.h"
#include "ui_fmTNEFReader.h"

namespace {

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }

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

QAccessibleInterface* WindowAccessible(const QString& className, QObject* object) {
  if (object == nullptr || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  // The preview paints a picture and holds no text of its own: an image to a screen reader.
  if (className == QLatin1String("TPreviewArea")) return new QAccessibleWidget(widget, QAccessible::Graphic);
  if (object->objectName() == QLatin1String("Label1") && widget->parentWidget() != nullptr &&
      widget->parentWidget()->inherits("TPreviewArea"))
    return new TShadowLabel(widget);
  return nullptr;
}

}  // namespace

void NameWindowControls(Ui::TfmVelquinDatReader& form) {
  static const bool installed = (QAccessible::installFactory(WindowAccessible), true);
  (void)installed;
  form.lvwFiles->setAccessibleName(Res(TStringId::AccessibleList));
  form.lvwFiles->setAccessibleDescription(Res(TStringId::AccessibleListDescription));
  form.RichEdit1->setAccessibleName(Res(TStringId::AccessibleMessage));
  form.fraGoogleAd1->setAccessibleName(Res(TStringId::AccessibleWebPane));
  NamePreview(form, form.pnlPreview->accessibleDescription());
}

void NamePreview(Ui::TfmVelquinDatReader& form, const QString& fileName) {
  form.pnlPreview->setAccessibleDescription(fileName);
  form.pnlPreview->setAccessibleName(
      fileName.isEmpty() ? Res(TStringId::AccessiblePreview)
                         : QString::fromUtf8(FormatRes(TStringId::AccessiblePreviewOf, {Arg(fileName.toStdString())})));
}
