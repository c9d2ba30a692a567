// The signs verb: the user's named signs (SignList), and the resolution of
// --port, --sign and --all-signs into the signs a card verb goes to.

#include "cli/CliApp.h"
#include "base/Language.h"

#include "cli/Console.h"
#include "cli/MqttOptions.h"
#include "cli/MultiSign.h"
#include "link/ByteChannel.h"
#include "link/PortNaming.h"
#include "link/SignList.h"
#include "link/TcpChannel.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QTimer>
#include <QJsonObject>

namespace {
constexpr int kLastPort = 20;
} // namespace

int CliApp::verbSigns(const QStringList &args)
{
    const QString what = args.at(0);
    SignList list;
    const bool readable = list.load();
    for (const QString &problem : list.problems())
        m_console.err(problem + QLatin1Char('\n'));
    if (what == u"list")
        return signsList(list, readable, args);
    if (what == u"add")
        return signsAdd(list, readable, args);
    if (what == u"remove")
        return signsRemove(list, readable, args);
    return usageError(trEn("Cli", "signs: expected add, list or remove, not '%1'").arg(what),
                      QStringLiteral("signs"));
}

int CliApp::signsList(const SignList &list, bool readable, const QStringList &args)
{
    if (args.size() != 1)
        return usageError(trEn("Cli", "signs list: too many arguments"),
                          QStringLiteral("signs"));
    if (!readable)
        return fail(ExitUsage, trEn("Cli", "cannot read the sign list %1").arg(list.path()));
    const QString group = option(QStringLiteral("group"));
    const std::vector<SignList::Sign> shown =
        isSet(QStringLiteral("group")) ? list.signsInGroup(group) : list.signs();
    if (json()) {
        QJsonArray signs;
        for (const SignList::Sign &sign : shown) {
            QJsonObject o;
            o[u"name"] = sign.name;
            o[u"port"] = sign.port;
            o[u"groups"] = QJsonArray::fromStringList(sign.groups);
            const QString stable = PortNaming::stableName(sign.port);
            if (!stable.isEmpty() && stable != sign.port)
                o[u"stableName"] = stable;
            signs.append(o);
        }
        QJsonObject o;
        o[u"ok"] = true;
        o[u"file"] = list.path();
        o[u"signs"] = signs;
        o[u"groups"] = QJsonArray::fromStringList(list.groups());
        o[u"problems"] = QJsonArray::fromStringList(list.problems());
        printJson(o);
        return ExitOk;
    }
    if (list.signs().empty())
        m_console.err(trEn("Cli", "No signs yet (add one with 'brivane-cli signs add NAME "
                                     "PORT'); the list is kept in %1\n")
                          .arg(list.path()));
    for (const SignList::Sign &sign : shown)
        print(sign.groups.isEmpty()
                  ? QStringLiteral("%1  %2").arg(sign.name, sign.port)
                  : QStringLiteral("%1  %2  [%3]").arg(sign.name, sign.port, sign.groups.join(u", ")));
    return ExitOk;
}

int CliApp::signsAdd(SignList &list, bool readable, const QStringList &args)
{
    if (args.size() != 3)
        return usageError(trEn("Cli", "signs add: expected NAME PORT"), QStringLiteral("signs"));
    const QString port = args.at(2).trimmed();
    QStringList groups;
    for (const QString &group : options(QStringLiteral("group")))
        groups << group.trimmed();
    QJsonObject done;
    done[u"name"] = args.at(1);
    done[u"port"] = port;
    if (!groups.isEmpty())
        done[u"groups"] = QJsonArray::fromStringList(groups);
    done[u"file"] = list.path();
    return signsEdit(
        list, readable,
        [&]() {
            const QString problem = list.add(args.at(1), args.at(2), groups);
            return problem.isEmpty() ? ExitOk
                                     : usageError(trEn("Cli", "signs add: ") + problem,
                                                  QStringLiteral("signs"));
        },
        done,
        groups.isEmpty() ? trEn("Cli", "Sign %1: %2").arg(args.at(1), port)
                         : trEn("Cli", "Sign %1: %2 [%3]").arg(args.at(1), port, groups.join(u", ")));
}

int CliApp::signsRemove(SignList &list, bool readable, const QStringList &args)
{
    if (args.size() != 2)
        return usageError(trEn("Cli", "signs remove: expected NAME"), QStringLiteral("signs"));
    QJsonObject done;
    done[u"removed"] = args.at(1);
#ifdef BRIVANE_MQTT
    // With --mqtt, the sign's Home Assistant device and retained topics go
    // from the broker too.
    MqttOptions mqtt;
    if (mqttWanted(*m_parser)) {
        if (const QString problem = readMqttOptions(*m_parser, &mqtt); !problem.isEmpty())
            return usageError(problem, QStringLiteral("signs"));
        if (!list.find(args.at(1)))
            return fail(ExitUsage, trEn("Cli", "no sign named '%1'").arg(args.at(1)));
        MqttFaceConfig config;
        config.prefix = mqtt.prefix;
        config.nodeId = mqtt.id;
        config.sign = list.find(args.at(1))->name;
        mqtt.broker.clientId = mqttClientId(mqtt, config.sign) + QStringLiteral("_remove");
        MqttFace face(config, mqtt.broker, {},
                      [this](const QString &line) { m_console.err(line + QLatin1Char('\n')); });
        bool forgotten = false;
        QObject::connect(&face, &MqttFace::forgotten, [&] {
            forgotten = true;
            QCoreApplication::quit();
        });
        QTimer::singleShot(60'000, [] { QCoreApplication::quit(); });
        face.forget();
        QCoreApplication::exec();
        if (!forgotten)
            return fail(ExitUsage, trEn("Cli", "could not reach the broker %1:%2; the sign is "
                                                  "left in the list")
                                       .arg(mqtt.broker.host)
                                       .arg(mqtt.broker.port));
        done[u"broker"] = QStringLiteral("%1:%2").arg(mqtt.broker.host).arg(mqtt.broker.port);
    }
#endif
    return signsEdit(
        list, readable,
        [&]() {
            return list.remove(args.at(1))
                       ? ExitOk
                       : fail(ExitUsage, trEn("Cli", "no sign named '%1'").arg(args.at(1)));
        },
        done, trEn("Cli", "Removed sign %1.").arg(args.at(1)));
}

int CliApp::signsEdit(SignList &list, bool readable, const std::function<int()> &edit,
                      QJsonObject done, const QString &doneText)
{
    if (!readable)
        return fail(
            ExitUsage,
            trEn("Cli", "cannot read the sign list %1; it is left as it is").arg(list.path()));
    if (const int code = edit(); code != ExitOk)
        return code;
    QString error;
    if (!list.save(&error))
        return fail(ExitUsage, error);
    if (json()) {
        done[u"ok"] = true;
        printJson(done);
    } else {
        print(doneText);
    }
    return ExitOk;
}

int CliApp::signTargets(std::vector<SignTarget> &targets)
{
    targets.clear();
    SignList list;
    bool listRead = false;
    auto readList = [&]() -> bool {
        if (listRead)
            return true;
        listRead = true;
        const bool ok = list.load();
        for (const QString &problem : list.problems())
            m_console.err(problem + QLatin1Char('\n'));
        if (!ok)
            usageError(trEn("Cli", "cannot read the sign list %1").arg(list.path()));
        return ok;
    };
    auto add = [&](const QString &name, const QString &port, int number) {
        for (const SignTarget &t : targets)
            if (t.number == number)
                return; // named twice: served once
        targets.push_back({name, port, number});
    };

    for (const QString &given : m_parser->values(QStringLiteral("port"))) {
        const QString value = given.trimmed();
        bool isNumber = false;
        const int number = value.toInt(&isNumber);
        if (isNumber || PortNaming::comNumber(value) > 0) {
            const int port = isNumber ? number : PortNaming::comNumber(value);
            if (port < 1 || port > kLastPort) {
                usageError(trEn("Cli", "invalid --port '%1': a port number 1..%2, a device "
                                          "path, tcp://HOST:PORT or a sign's name")
                               .arg(value)
                               .arg(kLastPort));
                return ExitUsage;
            }
            add(value, PortNaming::deviceForPort(port), port);
            continue;
        }
        if (value.isEmpty()) {
            usageError(trEn("Cli", "--port needs a port number or a device path"));
            return ExitUsage;
        }
        if (ByteChannel::isNetworkName(value) && !TcpChannel::parseName(value)) {
            usageError(trEn("Cli", "invalid --port '%1': expected tcp://HOST:PORT").arg(value));
            return ExitUsage;
        }
        // A plain word that names a sign is that sign; anything else is a
        // device path.
        if (!value.contains(QLatin1Char('/')) && !ByteChannel::isNetworkName(value)) {
            if (!readList())
                return ExitUsage;
            if (const SignList::Sign *sign = list.find(value)) {
                add(sign->name, sign->port, PortNaming::portForDevice(sign->port));
                continue;
            }
        }
        add(value, value, PortNaming::portForDevice(value));
    }
    for (const QString &name : m_parser->values(QStringLiteral("sign"))) {
        if (!readList())
            return ExitUsage;
        const SignList::Sign *sign = list.find(name.trimmed());
        if (!sign) {
            usageError(trEn("Cli", "no sign named '%1' (see 'brivane-cli signs list')")
                           .arg(name.trimmed()));
            return ExitUsage;
        }
        add(sign->name, sign->port, PortNaming::portForDevice(sign->port));
    }
    if (isSet(QStringLiteral("all-signs"))) {
        if (!readList())
            return ExitUsage;
        if (list.signs().empty()) {
            usageError(trEn("Cli", "--all-signs: the sign list %1 is empty (add signs with "
                                      "'brivane-cli signs add NAME PORT')")
                           .arg(list.path()));
            return ExitUsage;
        }
        for (const SignList::Sign &sign : list.signs())
            add(sign.name, sign.port, PortNaming::portForDevice(sign.port));
    }
    return ExitOk;
}
