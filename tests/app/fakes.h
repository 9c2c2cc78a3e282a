#pragma once

// Stand-ins for the desktop services, answering in place of a person and recording what
// the window asked of them.

#include "platform/services.h"
#include "settings/storedsettings.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <map>
#include <string>
#include <utility>

// Answers every ShowColor with OK and the colour in `chosen`, or with Cancel.
class FakeColorDialog final : public platform::ColorDialog {
public:
    bool answerOk = true;
    colorcodes::ColorValue chosen = 0;
    int calls = 0;
    colorcodes::ColorValue startedFrom = -1; // Color as the last call found it

    bool ShowColor(QWidget *) override
    {
        ++calls;
        startedFrom = color_;
        if (answerOk)
            color_ = chosen;
        return answerOk;
    }
};

struct ShownMessage {
    QString text;
    QString title;
    bool withCancel;
};

class FakeMessageBox final : public platform::MessageBox {
public:
    bool answerOk = true;
    QList<ShownMessage> shown;

    bool confirm(QWidget *, const QString &text, const QString &title) override
    {
        shown.append({text, title, true});
        return answerOk;
    }
    void inform(QWidget *, const QString &text, const QString &title) override
    {
        shown.append({text, title, false});
    }
};

class FakeDesktop final : public platform::Desktop {
public:
    QList<QUrl> opened;
    void open(const QUrl &url) override { opened.append(url); }
};

// A settings store in memory. `writes` logs every write as "section/key=text".
class MemoryStore final : public settings::Store {
public:
    std::map<std::pair<std::string, std::string>, std::string> values;
    QStringList writes;
    int flushes = 0;

    // Seeds the store from "section/key=text" entries.
    void seed(const QStringList &entries)
    {
        for (const QString &entry : entries) {
            const qsizetype slash = entry.indexOf(u'/');
            const qsizetype equals = entry.indexOf(u'=');
            values[{entry.left(slash).toStdString(),
                    entry.mid(slash + 1, equals - slash - 1).toStdString()}]
                = entry.mid(equals + 1).toStdString();
        }
    }

    std::optional<std::string> read(std::string_view section, std::string_view key) override
    {
        const auto found = values.find({std::string(section), std::string(key)});
        if (found == values.end())
            return std::nullopt;
        return found->second;
    }
    void write(std::string_view section, std::string_view key, std::string_view text) override
    {
        values[{std::string(section), std::string(key)}] = std::string(text);
        writes.append(QString::fromStdString(std::string(section) + '/' + std::string(key) + '='
                                             + std::string(text)));
    }
    void flush() override { ++flushes; }
};
