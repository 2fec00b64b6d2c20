// Accessible names from hints for controls without a caption.
#include "platform/ui/accessible_names.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QScrollBar>
#include <QWidget>

namespace platform {

namespace {

bool HasName(QWidget& widget) {
  if (!widget.accessibleName().isEmpty()) return true;
  const QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget);
  return accessible && !accessible->text(QAccessible::Name).isEmpty();
}

}  // namespace

void NameControlsByHint(QWidget& root) {
  QList<QWidget*> widgets = root.findChildren<QWidget*>();
  widgets.prepend(&root);
  for (QWidget* widget : widgets) {
    if (!widget->toolTip().isEmpty() && !HasName(*widget)) widget->setAccessibleName(widget->toolTip());
  }
}

void NameScrollBars(QWidget& root) {
  QList<QAbstractScrollArea*> areas = root.findChildren<QAbstractScrollArea*>();
  if (auto* itself = qobject_cast<QAbstractScrollArea*>(&root)) areas.prepend(itself);
  for (QAbstractScrollArea* area : areas) {
    area->verticalScrollBar()->setAccessibleName(QStringLiteral("Scorrimento verticale"));
    area->horizontalScrollBar()->setAccessibleName(QStringLiteral("Scorrimento orizzontale"));
  }
}

}  // namespace platform
