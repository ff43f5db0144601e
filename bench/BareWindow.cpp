// A bare Qt window with what the program's window shows at its start, a button and a black
// 500 x 500 picture, and nothing else: what tools/first-figure.sh holds the program's start
// against. With STRINGART_LAUNCHED_AT_NS (the launcher's wall clock in nanoseconds) set, it says
// when its picture was first on the screen, as the program does, and quits.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

class Picture final : public QWidget {
 public:
  explicit Picture(QWidget* parent) : QWidget(parent), image_(500, 500, QImage::Format_RGB32) {
    image_.fill(Qt::black);
    setGeometry(56, 64, 500, 500);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).drawImage(0, 0, image_);
    const char* launched = std::getenv("STRINGART_LAUNCHED_AT_NS");
    if (launched == nullptr || std::exchange(reported_, true)) return;
    // After this paint has been flushed to the screen.
    QTimer::singleShot(0, this, [launched] {
      const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                std::chrono::system_clock::now().time_since_epoch())
                                .count();
      std::fprintf(stderr, "bare window: picture on screen %.1f ms after launch\n",
                   (now - std::atoll(launched)) / 1e6);
      QCoreApplication::quit();
    });
  }

 private:
  QImage image_;
  bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Form1"));
  window.setFixedSize(653, 584);
  new Picture(&window);
  auto* button = new QPushButton(QStringLiteral("new"), &window);
  button->setGeometry(576, 544, 57, 17);
  window.show();
  return app.exec();
}
