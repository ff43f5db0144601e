#include "window/HelpWindow.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "text/WindowKeys.h"
#include "window/KeySequences.h"

namespace stringart {

HelpWindow::HelpWindow(const QString& options, QWidget* parent)
    : QDialog(parent), page_(new QTextBrowser(this)) {
  setWindowTitle(tr("Keys and options"));
  QString html =
      QStringLiteral(
          "<h3>%1</h3><table cellspacing=\"0\" cellpadding=\"3\" style=\"margin-left: 4px\">")
          .arg(tr("Keys in the window"));
  for (const WindowKeyRow& row : WindowKeyTable()) {
    html += QStringLiteral("<tr><td style=\"white-space: pre\"><b>%1</b></td><td>%2</td></tr>")
                .arg(NativeKeys(row.keys).toHtmlEscaped(),
                     QCoreApplication::translate(kWindowKeysContext, row.does).toHtmlEscaped());
  }
  html += QStringLiteral("</table>");
  html += QStringLiteral("<p>%1</p>")
              .arg(tr("The mouse's back and forward buttons go back and "
                      "forward too; Space presses \"new\" when it has the "
                      "focus.")
                       .toHtmlEscaped());
  if (!options.isEmpty()) {
    html += QStringLiteral("<h3>%1</h3><pre style=\"white-space: pre-wrap\">%2</pre>")
                .arg(tr("The command line"), options.toHtmlEscaped());
  }
  page_->setHtml(html);
  page_->setOpenLinks(false);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(page_);
  layout->addWidget(buttons);
  // Wide enough for the options' columns without a scroll bar across.
  resize(740, 600);
}

}  // namespace stringart
