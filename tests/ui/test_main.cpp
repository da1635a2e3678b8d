// Runs the window tests in one application object, as the program has one.
// The first argument names the test class; the rest go to Qt Test.
#include <QTest>
#include <cstring>
#include <memory>

#include "ui/application.h"

QObject* NewMainFormTest();
QObject* NewAboutFormTest();
QObject* NewOptionFormTest();
QObject* NewMalformedOpenTest();

int main(int argc, char** argv) {
  rastrel::Application application(argc, argv);
  application.setQuitOnLastWindowClosed(false);
  const std::pair<const char*, QObject* (*)()> tests[] = {
      {"MainFormTest", NewMainFormTest},
      {"AboutFormTest", NewAboutFormTest},
      {"OptionFormTest", NewOptionFormTest},
      {"MalformedOpenTest", NewMalformedOpenTest}};
  if (argc < 2) return 2;
  for (const auto& [name, make] : tests) {
    if (std::strcmp(argv[1], name) != 0) continue;
    std::unique_ptr<QObject> test(make());
    argv[1] = argv[0];
    return QTest::qExec(test.get(), argc - 1, argv + 1);
  }
  return 2;
}
