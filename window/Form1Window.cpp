#include "window/Form1Window.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <string>

#include "window/Picture1View.h"
#include "window/PictureImage.h"

namespace stringart {

Form1Window::Form1Window(DrawSource& random, FigureFiles& files, QWidget* parent)
    : QWidget(parent),
      form_(*this, picture1_, random),
      files_(files),
      view_(new Picture1View(picture1_, this)),
      command1_(new QPushButton(QStringLiteral("new"), this)) {
  setWindowTitle(QStringLiteral("Form1"));
  setFixedSize(kClientWidth, kClientHeight);

  // Fixed places, no layout: the window looks the same whatever the style's preferred sizes.
  view_->setGeometry(56, 64, Picture1::kWidth, Picture1::kHeight);
  command1_->setGeometry(576, 544, 57, 17);
  connect(command1_, &QPushButton::clicked, this, &Form1Window::Command1Click);

  auto* save = new QAction(QStringLiteral("Save picture as\u2026"), this);
  save->setShortcut(QKeySequence::Save);
  connect(save, &QAction::triggered, this, &Form1Window::SavePictureAs);
  addAction(save);  // Ctrl+S works anywhere in the window, not only from the menu
  auto* copy = new QAction(QStringLiteral("Copy picture"), this);
  connect(copy, &QAction::triggered, this, &Form1Window::CopyPicture);

  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view_, &QWidget::customContextMenuRequested, this, [this, save, copy](QPoint at) {
    QMenu menu(this);
    menu.addAction(save);
    menu.addAction(copy);
    menu.exec(view_->mapToGlobal(at));
  });
}

void Form1Window::FormLoad() {
  form_.FormLoad();
  view_->FigureComplete();
}

void Form1Window::Command1Click() {
  form_.Command1Click();
  view_->FigureComplete();
}

void Form1Window::Show() {
  show();
}

// The window draws nothing of its own, so its surface is always its background colour; a
// repaint is all that clearing takes.
void Form1Window::ClearWindow() {
  update();
}

bool Form1Window::SavePicture(const QString& path, QString& error) const {
  // Before the first figure the record describes no figure, and an SVG would not match the
  // canvas.
  if (form_.figuresTraced() == 0) {
    error = QStringLiteral("There is no figure to save yet.");
    return false;
  }
  std::string why;
  if (!files_.Save(path.toStdString(), picture1_, form_.lastFigure(), why)) {
    error = QString::fromStdString(why);
    return false;
  }
  return true;
}

void Form1Window::SavePictureAs() {
  const QString png = QStringLiteral("PNG image (*.png)");
  const QString svg = QStringLiteral("SVG drawing (*.svg)");
  QString filter = png;
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save picture as"),
                                              folder + QStringLiteral("/figure.png"),
                                              png + ";;" + svg, &filter);
  if (path.isEmpty()) return;
  // A bare name takes the extension of the chosen file type; any other extension is refused
  // by the save and reported.
  if (QFileInfo(path).suffix().isEmpty()) path += filter == svg ? ".svg" : ".png";
  QString error;
  if (!SavePicture(path, error)) QMessageBox::warning(this, QStringLiteral("Form1"), error);
}

void Form1Window::CopyPicture() const {
  // A copy: the clipboard must keep this figure after the next one is traced over the raster.
  QGuiApplication::clipboard()->setImage(WrapPicture(picture1_).copy());
}

}  // namespace stringart
