#pragma once

class QCoreApplication;

namespace korvex::widgets {

// The program speaks Russian whatever the machine's settings: numbers and
// dates follow the Russian locale (QLocale's default), and Qt's own texts -
// the standard buttons "ОК", "Отмена", "Да", "Нет", the file and print
// dialogs, the context menus of fields - come from Qt's Russian translation
// (qtbase_ru). Returns false when that translation is not installed; the
// program then runs with Qt's English texts.
bool setUpRussian(QCoreApplication &app);

} // namespace korvex::widgets
