#pragma once
// The user's named signs: a name for each card the user reaches often, with
// its port name (a device path, a stable /dev/serial/by-id/... name, COMn on
// Windows, or tcp://HOST:PORT). Kept in a per-user settings file (QSettings,
// INI, in the user's config folder; BRIVANE_SIGNS names another file, an
// empty value none at all), as an array in the order the signs were added.
// PortNaming numbers the signs' ports after BRIVANE_PORTS; the command-line
// tool edits the list and takes --sign NAME. A value object: load, look up,
// change, save; read and written on one thread.
//
//     [signs]
//     1\name=shop-front
//     1\port=tcp://192.168.1.50:4001
//     1\groups=street, mall
//     size=1
//
// A sign may belong to groups (the service's MQTT face has a topic per
// group); files without groups read as before.

#include <QString>
#include <QStringList>
#include <vector>

class SignList {
public:
    struct Sign {
        QString name;
        QString port;
        QStringList groups;
    };
    enum class Status { Ok, Missing, Unreadable };

    // Names are at most this long.
    static constexpr int MaxNameLength = 64;
    // A file with more entries is read up to here.
    static constexpr int MaxSigns = 256;
    // A larger file is not read (QSettings holds all of it several times
    // over): far more than MaxSigns signs of the longest names and ports.
    static constexpr qint64 MaxFileBytes = 1024 * 1024;

    // The file the program uses: BRIVANE_SIGNS when set (empty: no file),
    // else signs.ini in the user's config folder (~/.config/brivane on Linux).
    static QString defaultPath();

    explicit SignList(const QString &path = defaultPath());

    // Reads the file: a missing one is an empty list (Missing); an
    // unreadable or oversized one leaves the list empty (Unreadable, false;
    // an oversized one says so in problems()) and is never overwritten. Entries
    // that are not valid (no name, a bad or repeated name, a bad port) are
    // skipped, one text each in problems().
    bool load();
    // Writes the whole list (atomically); false with *error on failure.
    bool save(QString *error = nullptr) const;

    const QString &path() const { return m_path; }
    Status status() const { return m_status; }
    const QStringList &problems() const { return m_problems; }
    const std::vector<Sign> &signs() const { return m_signs; }
    // The sign of that name (names compare case-insensitively); null if none.
    const Sign *find(const QString &name) const;

    // Adds a sign, or changes the port of an existing one (and its groups,
    // when groups are given); empty on success, else why not (nothing
    // changes).
    QString add(const QString &name, const QString &port, const QStringList &groups = {});
    // Every group name of the list, sorted; the signs of one, in list order.
    QStringList groups() const;
    std::vector<Sign> signsInGroup(const QString &group) const;
    // False when there is no sign of that name.
    bool remove(const QString &name);

    // Why a name or port is not valid; empty when it is. A name must not
    // look like a port (a number, COMn, a path, tcp://).
    static QString checkName(const QString &name);
    static QString checkPort(const QString &port);
    // A group name: as a sign's name, and without the topic characters + and #.
    static QString checkGroup(const QString &group);

private:
    QString m_path;
    Status m_status = Status::Missing;
    QStringList m_problems;
    std::vector<Sign> m_signs;
};
