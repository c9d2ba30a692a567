#pragma once
// One spelling of each command-line option: the other spellings users type
// ("--colour" for "--color", "--flash-delay" for "--flashdelay") are
// accepted and turned into the documented one before the parser sees the
// command line, so help, parsing and messages know one name. Used by
// brivane-cli and brivane-cardsim.

#include <QStringList>

namespace OptionSpellings {

// arguments with every other spelling of an option replaced by the
// documented one, as "--name" or "--name=value"; arguments after "--" are
// left alone.
QStringList normalized(const QStringList &arguments);

// The documented spelling of an option or field name ("colour" -> "color");
// any other name as it is. brivane-cli's "set N FIELD=VALUE" uses it too.
QString documented(const QString &name);

} // namespace OptionSpellings
