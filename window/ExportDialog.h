#pragma once

#include <QDialog>
#include <QStandardPaths>
#include <QString>

#include "options/ExportLimits.h"
#include "options/ExportRequest.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace stringart {

// Asks where and how to export the figure on the canvas: a large picture (size) or an animation
// (size, seconds, frames a second), with the file name proposed for that figure and size. A name
// or a size that cannot be written keeps the dialog open with the reason.
class ExportDialog final : public QDialog {
  Q_OBJECT

 public:
  enum class Kind { Picture, Animation };

  // `figureName` is the figure's 12 hex digits; the file is proposed in `folder`.
  ExportDialog(Kind kind, const QString& figureName, const QString& folder,
               QWidget* parent = nullptr);

  // The folder a save proposes: `lastSaved` when a save has set it, else the standard `place`
  // (Pictures, Videos) when it exists, else the home folder.
  static QString ProposedFolder(const QString& lastSaved, QStandardPaths::StandardLocation place);

  // What was chosen, as the export is made from it; meaningful once accepted.
  const ExportRequest& request() const { return request_; }
  FrameSize frameSize() const;
  int seconds() const;  // 0 for a picture
  int fps() const;      // 0 for a picture
  QString path() const;

  QComboBox* presets() const { return presets_; }
  QSpinBox* widthBox() const { return width_; }
  QSpinBox* heightBox() const { return height_; }
  QSpinBox* secondsBox() const { return seconds_; }  // null for a picture
  QSpinBox* fpsBox() const { return fps_; }          // null for a picture
  QLineEdit* fileBox() const { return file_; }
  QLabel* problemLabel() const { return problem_; }

  // Checks the choice; closes only when it can be written.
  void accept() override;

 private:
  // The size's rows, and an animation's tracing time and frame rate.
  void AddSizeRows(QFormLayout& form);
  // The file's name, proposed, with a button to browse for another.
  void AddFileRow(QFormLayout& form);
  QString ProposedName() const;
  // The sizes changed: follow them in the presets and in a name the user has not edited.
  void SizeEdited();
  void Browse();
  void Refuse(const QString& reason);

  Kind kind_;
  QString figureName_;
  QString folder_;        // where the file was proposed
  QString proposedName_;  // the file name last proposed
  QComboBox* presets_;
  QSpinBox *width_, *height_, *seconds_ = nullptr, *fps_ = nullptr;
  QLineEdit* file_;
  QLabel* problem_;
  ExportRequest request_;
};

}  // namespace stringart
