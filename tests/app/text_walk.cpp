#include "text_walk.h"

#include "views/instruments/AnalogDisplay.h"
#include "views/instruments/BarDisplay.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMutexLocker>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <qcustomplot.h>

namespace text_walk {

QString withoutMnemonics(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

namespace {

// The control's own name, or its nearest named parent's inside the window.
QString controlName(const QObject *control, const QObject *window)
{
    for (const QObject *o = control; o && o != window; o = o->parent())
        if (!o->objectName().isEmpty())
            return o->objectName();
    return QString::fromLatin1(control->metaObject()->className());
}

class Collector
{
public:
    Collector(const QWidget &window, const QString &name, QList<Shown> &out) : fWindow(window), fName(name), fOut(out)
    {
    }

    void add(const QObject *control, const QString &text, int column = -1, bool header = false, bool title = false)
    {
        const QString shown = withoutMnemonics(text).trimmed();
        if (!shown.isEmpty())
            fOut.append({fName, controlName(control, &fWindow), shown, column, header, title});
    }

    void menu(const QMenu *menu)
    {
        add(menu, menu->title());
        for (const QAction *action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            if (action->menu())
                this->menu(action->menu());
            else
                add(menu, action->text());
        }
    }

    void itemView(const QAbstractItemView *view)
    {
        const QAbstractItemModel *model = view->model();
        if (!model)
            return;
        const auto *table = qobject_cast<const QTableView *>(view);
        const auto *tree = qobject_cast<const QTreeView *>(view);
        const QHeaderView *across = table ? table->horizontalHeader() : tree ? tree->header() : nullptr;
        const QHeaderView *down = table ? table->verticalHeader() : nullptr;
        const QModelIndex root = view->rootIndex();
        const int columns = model->columnCount(root);
        const int rows = model->rowCount(root);
        for (int column = 0; column < columns; ++column) {
            if (across && across->isSectionHidden(column))
                continue;
            if (across && across->isVisible())
                add(view, model->headerData(column, Qt::Horizontal).toString(), column, true);
            for (int row = 0; row < rows; ++row)
                add(view, model->index(row, column, root).data().toString(), column);
        }
        if (down && down->isVisible())
            for (int row = 0; row < rows; ++row)
                add(view, model->headerData(row, Qt::Vertical).toString(), -1, true);
    }

    void control(const QWidget *w)
    {
        if (auto *label = qobject_cast<const QLabel *>(w)) {
            const bool rich = label->textFormat() == Qt::RichText ||
                              (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
            add(w, rich ? QTextDocumentFragment::fromHtml(label->text()).toPlainText() : label->text());
        } else if (auto *button = qobject_cast<const QAbstractButton *>(w)) {
            add(w, button->text());
        } else if (auto *group = qobject_cast<const QGroupBox *>(w)) {
            add(w, group->title());
        } else if (auto *tabs = qobject_cast<const QTabBar *>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                add(w, tabs->tabText(i));
        } else if (auto *combo = qobject_cast<const QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                add(w, combo->itemText(i));
        } else if (auto *edit = qobject_cast<const QLineEdit *>(w)) {
            if (!qobject_cast<const QComboBox *>(edit->parentWidget())) // the list's own, above
                add(w, edit->text());
        } else if (auto *view = qobject_cast<const QAbstractItemView *>(w)) {
            itemView(view);
        } else if (auto *bar = qobject_cast<const QMenuBar *>(w)) {
            for (const QAction *action : bar->actions())
                if (action->menu() && action->isVisible())
                    menu(action->menu());
        } else if (auto *display = qobject_cast<const TBarDisplay *>(w)) {
            add(w, display->GetCaption());
        } else if (auto *gauge = qobject_cast<const TAnalogDisplay *>(w)) {
            add(w, gauge->GetCaption());
        } else if (auto *plot = qobject_cast<const QCustomPlot *>(w)) {
            for (const QCPAxis *axis : plot->axisRect()->axes())
                if (axis->visible())
                    add(w, axis->label());
        }
        // Panels that paint their caption themselves publish it.
        if (const QVariant caption = w->property("caption"); caption.typeId() == QMetaType::QString)
            add(w, caption.toString());
    }

private:
    const QWidget &fWindow;
    QString fName;
    QList<Shown> &fOut;
};

} // namespace

QList<Shown> texts(const QWidget &window, const QString &name)
{
    QList<Shown> out;
    Collector collect(window, name, out);
    collect.add(&window, window.windowTitle(), -1, false, true);
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        // A read-only text box shows a file as it is (the log viewer its lines).
        if (!w->isVisible() || w->window() != &window || w->inherits("QPlainTextEdit") || w->inherits("QTextEdit"))
            continue;
        collect.control(w);
    }
    return out;
}

QString ToolkitTexts::translate(const char *context, const char *sourceText, const char *disambiguation, int n) const
{
    QMutexLocker lock(&fLock);
    fAsked.insert({QByteArray(context), QByteArray(sourceText), QByteArray(disambiguation), n});
    return {};
}

void ToolkitTexts::moveToFront()
{
    QCoreApplication::removeTranslator(this);
    QCoreApplication::installTranslator(this);
}

QSet<QString> ToolkitTexts::given(const QTranslator *catalogue) const
{
    std::set<Request> asked;
    {
        QMutexLocker lock(&fLock);
        asked = fAsked;
    }
    QSet<QString> given;
    for (const auto &[context, source, disambiguation, n] : asked) {
        const char *which = disambiguation.isNull() ? nullptr : disambiguation.constData();
        const QString text = catalogue ? catalogue->translate(context.constData(), source.constData(), which, n)
                                       : QString::fromUtf8(source);
        if (!text.isEmpty())
            given.insert(withoutMnemonics(text).trimmed());
    }
    return given;
}

} // namespace text_walk
