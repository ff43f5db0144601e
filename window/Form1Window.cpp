#include "window/Form1Window.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <utility>

#include "figure/FigureHistory.h"
#include "options/ExportLimits.h"
#include "options/WindowKeys.h"
#include "window/About.h"
#include "window/AdjustWindow.h"
#include "window/CanvasFocusFrame.h"
#include "window/CloseDuringExport.h"
#include "window/ExportNote.h"
#include "window/ExportRunner.h"
#include "window/FigureReader.h"
#include "window/FigureStage.h"
#include "window/FullScreenView.h"
#include "window/HelpWindow.h"
#include "window/JournalLink.h"
#include "window/KeyActions.h"
#include "window/KeySequences.h"
#include "window/Picture1View.h"
#include "window/Settings.h"
#include "window/VariationsWindow.h"

namespace stringart {
namespace {

// The main window as the windows around it see it.
class Form1Stage final : public FigureStage {
 public:
  explicit Form1Stage(Form1Window& window) : FigureStage(&window), window_(window) {}
  const FigureRecord& figure() const override { return window_.form().lastFigure(); }
  bool hasFigure() const override { return window_.form().showsFigure(); }
  const Picture1& picture() const override { return window_.picture(); }
  void Open(const FigureRecord& figure, FigureOrigin origin) override {
    window_.OpenFigure(figure, origin);
  }
  void Preview(const FigureRecord& figure) override { window_.PreviewFigure(figure); }
  FigureFiles& files() const override { return window_.files(); }
  QWidget* window() const override { return &window_; }
  QWidget* canvas() const override { return window_.pictureView(); }

 private:
  Form1Window& window_;
};

}  // namespace

Form1Window::Form1Window(DrawSource& random, FigureFiles& files, QWidget* parent)
    : QWidget(parent),
      form_(*this, picture1_, random),
      files_(files),
      view_(new Picture1View(picture1_, this)),
      command1_(new QPushButton(QStringLiteral("new"), this)),
      exports_(new ExportRunner(this)),
      note_(new ExportNote(this)),
      reader_(new FigureReader(files, this)),
      stage_(new Form1Stage(*this)),
      newSoon_(new QTimer(this)) {
  // "Form1" and "new" are the program's own names, the same in every language.
  setWindowTitle(QStringLiteral("Form1"));
  setFixedSize(kClientWidth, kClientHeight);
  setAcceptDrops(true);
  PlaceControls();
  CreateActions();
  ReadSettings();
  connect(command1_, &QPushButton::clicked, this, &Form1Window::Command1Click);
  connect(exports_, &ExportRunner::Finished, this, &Form1Window::ExportFinished);
  connect(reader_, &FigureReader::Done, this, &Form1Window::FiguresRead);
  // A file past its last chance to cancel is as good as written: closing waits for it unasked.
  new CloseDuringExport(this, [this] {
    return exporting() && !exports_->pastCancelling() ? exportPath_ : QString();
  });
  FigureShown();
}

void Form1Window::ReadSettings() {
  // A place on no screen today (a screen unplugged since) is left to the window system.
  const std::optional<QPoint> place = settings::WindowPlace();
  if (place && QGuiApplication::screenAt(*place + QPoint(kClientWidth / 2, 8)) != nullptr) {
    move(*place);
  }
}

void Form1Window::closeEvent(QCloseEvent* event) {
  settings::SetWindowPlace(pos());
  QWidget::closeEvent(event);
}

void Form1Window::PlaceControls() {
  // Fixed places, no layout: the window looks the same whatever the style's preferred sizes.
  view_->setGeometry(56, 64, Picture1::kWidth, Picture1::kHeight);
  command1_->setGeometry(576, 544, 57, 17);
  const QString newKeys = NativeKeys(KeysOf(WindowKey::New));
  command1_->setToolTip(tr("Trace a new figure (%1; Space when focused)").arg(newKeys));
  command1_->setAccessibleDescription(
      tr("Traces a new figure. Shortcuts: %1, or Space when focused.").arg(newKeys));
  // The canvas takes the focus after the button, and shows it with a frame around it.
  view_->setFocusPolicy(Qt::StrongFocus);
  setTabOrder(command1_, view_);
  new CanvasFocusFrame(view_);
  view_->setToolTip(
      tr("Right-click, or %1, for the menu").arg(NativeKeys(KeysOf(WindowKey::Menu))));
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view_, &QWidget::customContextMenuRequested, this, &Form1Window::ShowContextMenu);
  note_->setGeometry(56, 12, 577, 40);
}

void Form1Window::CreateActions() {
  new_ = AddAction(this, tr("&New figure"), KeySequences(WindowKey::New),
                   [this] { newSoon_->start(); });
  // Presses of the keys that come while a figure is being made (a key held down) fold into one
  // figure, made once every event queued meanwhile has been seen: a held key gives a figure a
  // frame, not a queue that Quit would wait behind. Each click on the button is a figure of its
  // own.
  newSoon_->setSingleShot(true);
  newSoon_->setInterval(0);
  connect(newSoon_, &QTimer::timeout, command1_, &QPushButton::click);
  place_ = new QAction(this);
  place_->setEnabled(false);
  back_ = AddAction(this, tr("&Back"), KeySequences(WindowKey::Back), &Form1Window::GoBack);
  forward_ =
      AddAction(this, tr("&Forward"), KeySequences(WindowKey::Forward), &Form1Window::GoForward);
  save_ = AddAction(this, tr("&Save picture as\u2026"), KeySequences(WindowKey::Save),
                    &Form1Window::SavePictureAs);
  copy_ = AddAction(this, tr("&Copy picture"), KeySequences(WindowKey::CopyPicture),
                    &Form1Window::CopyPicture);
  copyCommand_ = AddAction(this, tr("Copy figure co&mmand"), KeySequences(WindowKey::CopyCommand),
                           &Form1Window::CopyFigureCommand);
  open_ = AddAction(this, tr("&Open figure\u2026"), KeySequences(WindowKey::Open),
                    &Form1Window::OpenFigureAs);
  saveLarge_ = AddAction(this, tr("Save &large picture\u2026"), KeySequences(WindowKey::SaveLarge),
                         &Form1Window::SaveLargePictureAs);
  saveAnimation_ = AddAction(this, tr("Save &animation\u2026"),
                             KeySequences(WindowKey::SaveAnimation), &Form1Window::SaveAnimationAs);
  savePaper_ = AddAction(this, tr("Save for &paper\u2026"), KeySequences(WindowKey::SavePaper),
                         &Form1Window::SaveForPaperAs);
  print_ = AddAction(this, tr("Pr&int\u2026"), KeySequences(WindowKey::Print), &Form1Window::Print);
  wallpaper_ = AddAction(this, tr("Set as &wallpaper"), KeySequences(WindowKey::Wallpaper),
                         &Form1Window::SetAsWallpaper);
  variations_ = AddAction(this, tr("&Variations\u2026"), KeySequences(WindowKey::Variations),
                          [this] { ShowVariationsWindow(*stage_); });
  adjust_ = AddAction(this, tr("Ad&just\u2026"), KeySequences(WindowKey::Adjust),
                      [this] { ShowAdjustWindow(*stage_); });
  fullScreenAction_ = AddAction(this, tr("F&ull screen"), KeySequences(WindowKey::FullScreen),
                                [this] { ShowFullScreen(); });
  slideshowAction_ = AddAction(this, tr("Sli&deshow"), KeySequences(WindowKey::Slideshow),
                               [this] { ShowFullScreen(kDefaultSlideshowSeconds); });
  help_ = AddAction(this, tr("&Keys and options\u2026"), KeySequences(WindowKey::Help),
                    &Form1Window::ShowHelp);
  about_ = new QAction(tr("&About stringart"), this);
  connect(about_, &QAction::triggered, this, &Form1Window::ShowAbout);
  helpMenu_ = new QMenu(tr("&Help"), this);
  helpMenu_->addActions({help_, about_});
  // One window: closing it quits.
  quit_ = AddAction(this, tr("&Quit"), KeySequences(WindowKey::Quit), &QWidget::close);
  // The keyboard's way to the menu, wherever the focus is.
  AddAction(this, QString(), KeySequences(WindowKey::Menu),
            [this] { ShowContextMenu(view_->rect().center()); });
}

void Form1Window::ShowContextMenu(QPoint at) {
  QMenu menu(this);
  FillContextMenu(menu);
  menu.exec(view_->mapToGlobal(at));
}

void Form1Window::FillContextMenu(QMenu& menu) const {
  menu.addActions({place_, new_, back_, forward_});
  menu.addSeparator();
  menu.addActions({save_, open_, saveLarge_, saveAnimation_, savePaper_, print_});
  menu.addSeparator();
  menu.addActions({variations_, adjust_});
  menu.addSeparator();
  menu.addActions({copy_, copyCommand_, wallpaper_});
  if (journal_ != nullptr) {
    journal_->UpdateFavourite();
    menu.addSeparator();
    menu.addActions({journal_->favourite(), journal_->gallery()});
  }
  menu.addSeparator();
  menu.addActions({fullScreenAction_, slideshowAction_});
  menu.addSeparator();
  menu.addMenu(helpMenu_);
  menu.addAction(quit_);
}

void Form1Window::KeepFigures(const std::string& path) {
  journal_ = new JournalLink(*stage_, path);
  form_.KeepIn(&journal_->journal());
  FigureShown();
}

void Form1Window::FormLoad() {
  form_.FormLoad();
  FigureShown();
}

void Form1Window::FormLoad(FirstFigureAhead& ahead) {
  form_.FormLoad(ahead);
  FigureShown();
}

void Form1Window::FormLoad(const FigureRecord& figure) {
  form_.FormLoadNamed();
  OpenFigure(figure);
}

void Form1Window::FormLoad(const QStringList& files) {
  form_.FormLoadNamed();
  FigureShown();
  randomIfNoneRead_ = true;
  OpenFigureFiles(files, true);
}

void Form1Window::Command1Click() {
  form_.Command1Click();
  FigureShown();
}

void Form1Window::FigureShown() {
  view_->FigureComplete(form_.showsFigure() ? &form_.lastFigure() : nullptr);
  const FigureHistory& history = form_.history();
  place_->setText(!form_.showsFigure() ? tr("No figure yet")
                  : history.shownEarlier() > 0
                      ? tr("Earlier run, %L1 back").arg(history.shownEarlier())
                      : tr("Figure %L1 of %L2").arg(history.shown() + 1).arg(history.size()));
  back_->setEnabled(form_.CanGoBack());
  forward_->setEnabled(history.CanGoForward());
  for (QAction* action : {save_, copy_, copyCommand_}) action->setEnabled(form_.showsFigure());
  // What a screen reader says of the canvas.
  view_->setAccessibleName(
      !form_.showsFigure()
          ? tr("Empty canvas")
          : tr("Figure %1").arg(QString::fromStdString(FigureName(form_.lastFigure()))));
  view_->setAccessibleDescription(place_->text() + QStringLiteral(". ") + view_->toolTip() + '.');
  emit stage_->FigureChanged();
}

void Form1Window::ShowHelp() {
  auto* help = findChild<HelpWindow*>();
  if (help == nullptr) help = new HelpWindow(optionsHelp_, this);
  help->show();
  help->raise();
  help->activateWindow();
}

HelpWindow* Form1Window::helpWindow() const {
  return findChild<HelpWindow*>();
}

void Form1Window::ShowAbout() {
  stringart::ShowAbout(
      this, FilesOfThisRun(journal_ != nullptr ? QString::fromStdString(journal_->journal().path())
                                               : QString()));
}

FullScreenView* Form1Window::fullScreenView() const {
  return fullScreen_.data();
}

void Form1Window::ShowFullScreen(int slideshowSeconds) {
  if (fullScreen_ != nullptr) fullScreen_->close();
  fullScreen_ = new FullScreenView(form_, {new_, back_, forward_, {}}, slideshowSeconds, this);
  connect(stage_, &FigureStage::FigureChanged, fullScreen_, &FullScreenView::ShowFigure);
  connect(fullScreen_, &QObject::destroyed, this, [this] { activateWindow(); });
  fullScreen_->showFullScreen();
  fullScreen_->raise();
  fullScreen_->activateWindow();
}

void Form1Window::mousePressEvent(QMouseEvent* event) {
  // The mouse's back and forward buttons, wherever they are pressed in the window: the canvas
  // and the button leave them to the window.
  if (event->button() == Qt::BackButton) {
    GoBack();
  } else if (event->button() == Qt::ForwardButton) {
    GoForward();
  } else {
    QWidget::mousePressEvent(event);
  }
}

void Form1Window::OpenFigure(const FigureRecord& figure, FigureOrigin origin) {
  form_.OpenFigure(figure, origin);
  FigureShown();
}

void Form1Window::PreviewFigure(const FigureRecord& figure) {
  form_.Preview(figure);
  view_->FigureComplete(form_.showsFigure() ? &form_.lastFigure() : nullptr);
}

}  // namespace stringart
