#include "window/HelpWindow.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <span>

#include "options/GalleryKeys.h"
#include "options/SteerKeys.h"
#include "options/WindowKeys.h"
#include "window/KeySequences.h"

namespace stringart {
namespace {

// A row's keys as this desktop writes them; the gallery's with the desktop's own for its commands.
QString RowKeys(const WindowKeyRow& row) {
  return NativeKeys(row.keys);
}
QString RowKeys(const GalleryKeyRow& row) {
  return NativeKeys(KeySequences(row.key));
}
QString RowKeys(const SteerKeyRow& row) {
  return NativeKeys(row.keys);
}

// A heading and a table of keys.
template <typename Row>
QString KeysSection(const QString& heading, std::span<const Row> rows, const char* context) {
  QString html =
      QStringLiteral(
          "<h3>%1</h3><table cellspacing=\"0\" cellpadding=\"3\" style=\"margin-left: 4px\">")
          .arg(heading.toHtmlEscaped());
  for (const Row& row : rows) {
    html += QStringLiteral("<tr><td style=\"white-space: pre\"><b>%1</b></td><td>%2</td></tr>")
                .arg(RowKeys(row).toHtmlEscaped(),
                     QCoreApplication::translate(context, row.does).toHtmlEscaped());
  }
  return html + QStringLiteral("</table>");
}

}  // namespace

HelpWindow::HelpWindow(const QString& options, QWidget* parent)
    : QDialog(parent), page_(new QTextBrowser(this)) {
  setWindowTitle(tr("Keys and options"));
  QString html = KeysSection(tr("Keys in the window"), WindowKeyTable(), kWindowKeysContext);
  html += QStringLiteral("<p>%1</p>")
              .arg(tr("The mouse's back and forward buttons go back and "
                      "forward too; Space presses \"new\" when it has the "
                      "focus.")
                       .toHtmlEscaped());
  html += KeysSection(tr("Keys in the gallery (Figures)"), GalleryKeyTable(), kGalleryKeysContext);
  html += KeysSection(tr("Keys in Variations"), VariationsKeyTable(), kSteerKeysContext);
  html += KeysSection(tr("Keys in Adjust"), AdjustKeyTable(), kSteerKeysContext);
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
