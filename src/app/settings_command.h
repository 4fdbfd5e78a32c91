// The Settings command around the options dialog, the log viewer that the log opens, and the
// one word when the settings file refuses writes. Main thread only.
#pragma once

#include <functional>

class QAction;
class QWidget;
class TIniHandler;
class TLogFile;
class Toption_Form;
class Ttable_form;
class TSession;

class TSettingsCommand
{
public:
    // `options` and `table` are the window's own references, filled in when the windows exist;
    // `translate` shows the window's captions in the language chosen.
    TSettingsCommand(QWidget &window, QAction &setting, TIniHandler &ini, TLogFile &log, TSession &session,
                     Toption_Form *const &options, Ttable_form *const &table, std::function<void()> translate);

    void execute();

private:
    void hook_write_failures();

    QWidget &f_window;
    TIniHandler &f_ini;
    TLogFile &f_log;
    TSession &f_session;
    Toption_Form *const &f_options;
    Ttable_form *const &f_table;
    std::function<void()> f_translate;
};
