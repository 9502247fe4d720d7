#pragma once

#include <QByteArray>
#include <QImage>

#include <QString>

#include <functional>

class QWidget;
class ViewController;

// Where the teacher's new photo comes from: a picture taken now or a picture file, cropped to
// a square by the teacher, made into the small JPEG the service stores.
namespace PhotoPicker {

enum class Source { Camera, File };

// True when the machine has a camera the client can use.
bool hasCamera();

// Over `host`, takes (Camera) or picks (File) a picture, lets the teacher crop a square and
// hands the upload JPEG to `done`. Cancelling at any step calls nothing; a file that is not a
// readable picture shows a toast and calls nothing.
void pick(ViewController *host, Source source, std::function<void(const QByteArray &jpeg)> done);

// The cropped picture stretched to 200 x 200 and encoded as JPEG at quality 0.5.
QByteArray uploadJpeg(const QImage &cropped);

// Asks for a picture file over `parent`; an empty text when the teacher cancels. The program uses
// the system's file dialog; tests put in their own so that nothing waits for a person.
using FileChooser = std::function<QString(QWidget *parent)>;
// An empty chooser brings the system's file dialog back.
void setFileChooser(FileChooser chooser);

// The toast for a chosen file that is not a picture the client can read.
QString unreadablePictureText();

} // namespace PhotoPicker
