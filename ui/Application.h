#pragma once

#include <QApplication>
#include <QString>

// "Pelorin " and the version: the caption of the program's message boxes.
QString applicationTitle();

// The message of the exception box: a full stop is added when the message is not empty and
// its last character sorts after the full stop.
QString exceptionBoxText(const QString& message);

// Shows an exception the way the game always has: an error box titled with the application
// title and a single OK button.
void showExceptionBox(const QString& message);

// An exception escaping an event handler is shown in the exception box and the game goes on.
class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};
