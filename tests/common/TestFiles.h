#pragma once
// Whole-file reads and writes for tests.

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// A program of this build, by its path below the build folder without the
// ".exe" Windows gives it ("src/brivane-cli"): the tests run from tests/.
inline QString builtProgram(const QString &relative)
{
#ifdef Q_OS_WIN
    const QString suffix = QStringLiteral(".exe");
#else
    const QString suffix;
#endif
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../") + relative + suffix;
}

// Whether text holds a sentence in English (three words in a row), the test
// that a message in Chinese did not keep a line of the English one.
inline bool hasEnglishSentence(const QString &text)
{
    static const QRegularExpression sentence(QStringLiteral("[A-Za-z]{2,} [a-z]{2,} [a-z]{2,}"));
    return sentence.match(text).hasMatch();
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// A project file of text programs, one per text, on a screen of the given
// size codes.
inline QByteArray textProjectXml(const QStringList &texts, int widthCode = 32, int heightCode = 4)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<project>"
                                 "<width>%1</width><height>%2</height>")
                      .arg(widthCode)
                      .arg(heightCode);
    for (const QString &text : texts)
        xml += QStringLiteral("<msg><type>2</type><content>%1</content><action>1</action>"
                              "<speed>14</speed><frame>0</frame><clock>0</clock><delay>0</delay>"
                              "<level>2</level><flash>0</flash><flashdelay>2</flashdelay>"
                              "<size>12</size><font>宋体</font><style>0</style><color>1</color>"
                              "</msg>")
                   .arg(text);
    xml += QStringLiteral("</project>");
    return xml.toUtf8();
}
