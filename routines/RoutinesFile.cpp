#include "routines/RoutinesFile.h"

#include "files/RegularFile.h"
#include "instance/SleepDuration.h"
#include "persistence/ReasonNotOpened.h"
#include "persistence/WholeFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace calmfield::routines {
namespace {

using namespace std::chrono_literals;

const std::array<QString, 7> kDayNames{
    QStringLiteral("mon"), QStringLiteral("tue"), QStringLiteral("wed"), QStringLiteral("thu"),
    QStringLiteral("fri"), QStringLiteral("sat"), QStringLiteral("sun")};
const QString kDaily = QStringLiteral("daily");
const QString kOff = QStringLiteral("off");
const QString kNone = QStringLiteral("-");
// Far more than any list of routines a person keeps.
constexpr std::size_t kLargestFile = 64 * 1024;

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Takes the next word off the front of `rest`, skipping the blanks before it.
QStringView nextWord(QStringView& rest) {
    qsizetype at = 0;
    while (at < rest.size() && isBlank(rest[at]))
        ++at;
    qsizetype end = at;
    while (end < rest.size() && !isBlank(rest[end]))
        ++end;
    const QStringView word = rest.mid(at, end - at);
    rest = rest.mid(end);
    return word;
}

std::optional<int> dayOf(QStringView name) {
    for (std::size_t day = 0; day < kDayNames.size(); ++day)
        if (name.compare(kDayNames[day], Qt::CaseInsensitive) == 0)
            return static_cast<int>(day);
    return std::nullopt;
}

std::optional<std::array<bool, 7>> readDays(QStringView text) {
    std::array<bool, 7> days{};
    if (text.compare(kDaily, Qt::CaseInsensitive) == 0) {
        days.fill(true);
        return days;
    }
    for (const QStringView item : text.split(QLatin1Char(','))) {
        const qsizetype dash = item.indexOf(QLatin1Char('-'));
        const auto first = dayOf(dash < 0 ? item : item.left(dash));
        const auto last = dash < 0 ? first : dayOf(item.mid(dash + 1));
        if (!first || !last)
            return std::nullopt;
        for (int day = *first;; day = (day + 1) % 7) {
            days[static_cast<std::size_t>(day)] = true;
            if (day == *last)
                break;
        }
    }
    return days;
}

std::optional<int> readTime(QStringView text) {
    static const QRegularExpression time(QStringLiteral("^(\\d{1,2}):(\\d\\d)$"));
    const auto match = time.match(text.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const int hours = match.capturedView(1).toInt();
    const int minutes = match.capturedView(2).toInt();
    if (hours > 23 || minutes > 59)
        return std::nullopt;
    return hours * 60 + minutes;
}

std::optional<std::chrono::seconds> readRiseOrFall(QStringView text) {
    if (text.isEmpty())
        return std::nullopt;
    return instance::readDuration(text.toString(), 0s, Routine::kLongestRiseOrFall);
}

// The routine on `line`, or why it cannot be read.
files::Result<Routine, QString> readRoutine(QStringView line) {
    Routine routine;
    QStringView rest = line;
    QStringView word = nextWord(rest);
    if (word.compare(kOff, Qt::CaseInsensitive) == 0) {
        routine.on = false;
        word = nextWord(rest);
    }
    const auto days = readDays(word);
    if (!days)
        return files::failure(QStringLiteral("\"%1\" names no days, as \"daily\" or \"mon-fri\" do")
                                  .arg(word.toString()));
    routine.days = *days;
    word = nextWord(rest);
    const auto start = readTime(word);
    if (!start)
        return files::failure(QStringLiteral("the start \"%1\" is not a time such as \"22:30\"")
                                  .arg(word.toString()));
    routine.startMinute = *start;
    word = nextWord(rest);
    if (word != kNone) {
        const auto end = readTime(word);
        if (!end)
            return files::failure(
                QStringLiteral("the end \"%1\" is neither a time such as \"07:00\" nor \"-\"")
                    .arg(word.toString()));
        routine.endMinute = *end;
    }
    for (std::chrono::seconds* length : {&routine.rise, &routine.fall}) {
        word = nextWord(rest);
        const auto read = readRiseOrFall(word);
        if (!read)
            return files::failure(
                QStringLiteral("\"%1\" is not a rise or fall such as \"30s\" or \"20m\", up to "
                               "an hour")
                    .arg(word.toString()));
        *length = *read;
    }
    const QStringView mix = rest.trimmed();
    if (mix.isEmpty())
        return files::failure(QStringLiteral("it names no mix, nor \"-\" for the mix that plays"));
    if (mix != kNone)
        routine.mix = mix.toString();
    return routine;
}

QString formatLength(std::chrono::seconds length) {
    const auto count = length.count();
    if (count == 0)
        return QStringLiteral("0s");
    QString text;
    if (count >= 3600)
        text += QString::number(count / 3600) + QLatin1Char('h');
    if (count % 3600 >= 60)
        text += QString::number(count % 3600 / 60) + QLatin1Char('m');
    if (count % 60 != 0)
        text += QString::number(count % 60) + QLatin1Char('s');
    return text;
}

} // namespace

QString formatDays(const std::array<bool, 7>& days) {
    if (std::all_of(days.begin(), days.end(), [](bool day) { return day; }))
        return kDaily;
    QStringList items;
    for (std::size_t day = 0; day < days.size();) {
        if (!days[day]) {
            ++day;
            continue;
        }
        std::size_t last = day;
        while (last + 1 < days.size() && days[last + 1])
            ++last;
        if (last - day >= 2) {
            items.append(kDayNames[day] + QLatin1Char('-') + kDayNames[last]);
        } else {
            for (std::size_t each = day; each <= last; ++each)
                items.append(kDayNames[each]);
        }
        day = last + 1;
    }
    return items.join(QLatin1Char(','));
}

QString formatTime(int minute) {
    return QStringLiteral("%1:%2")
        .arg(minute / 60, 2, 10, QLatin1Char('0'))
        .arg(minute % 60, 2, 10, QLatin1Char('0'));
}

std::vector<Routine> RoutinesFile::routines() const {
    std::vector<Routine> found;
    for (const RoutinesLine& line : lines)
        if (line.routine)
            found.push_back(*line.routine);
    return found;
}

QStringList RoutinesFile::problems() const {
    QStringList found;
    for (std::size_t at = 0; at < lines.size(); ++at)
        if (!lines[at].problem.isEmpty())
            found.append(QStringLiteral("line %1: %2").arg(at + 1).arg(lines[at].problem));
    return found;
}

void RoutinesFile::replaceRoutines(const std::vector<Routine>& routines) {
    auto next = routines.begin();
    std::vector<RoutinesLine> kept;
    for (RoutinesLine& line : lines) {
        if (!line.routine)
            kept.push_back(std::move(line));
        else if (next != routines.end())
            kept.push_back({*next++});
    }
    for (; next != routines.end(); ++next)
        kept.push_back({*next});
    lines = std::move(kept);
}

RoutinesFile parseRoutines(const QString& text) {
    RoutinesFile file;
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringView content = QStringView(line).trimmed();
        if (content.isEmpty() || content.startsWith(QLatin1Char('#'))) {
            file.lines.push_back({.kept = line});
            continue;
        }
        auto routine = readRoutine(line);
        if (routine.ok())
            file.lines.push_back({.routine = routine.value()});
        else
            file.lines.push_back({.kept = line, .problem = routine.reason()});
    }
    return file;
}

QString formatRoutine(const Routine& routine) {
    QStringList fields;
    if (!routine.on)
        fields.append(kOff);
    fields << formatDays(routine.days) << formatTime(routine.startMinute)
           << (routine.endMinute ? formatTime(*routine.endMinute) : kNone)
           << formatLength(routine.rise) << formatLength(routine.fall)
           << (routine.mix.isEmpty() ? kNone : routine.mix);
    return fields.join(QLatin1Char(' '));
}

QString formatRoutines(const RoutinesFile& file) {
    QString text;
    for (const RoutinesLine& line : file.lines)
        text += (line.routine ? formatRoutine(*line.routine) : line.kept) + QLatin1Char('\n');
    return text;
}

files::Result<RoutinesFile, QString> readRoutinesFile(const QString& path) {
    files::RegularFile file = files::RegularFile::open(QFile::encodeName(path).constData());
    if (!file.isOpen()) {
        if (file.failure() == files::RegularFile::Failure::missing)
            return RoutinesFile{};
        return files::failure(QString::fromUtf8(persistence::reasonNotOpened(file.failure())));
    }
    std::string bytes;
    if (!file.readUpTo(kLargestFile + 1, bytes))
        return files::failure(QStringLiteral("it cannot be read"));
    if (bytes.size() > kLargestFile)
        return files::failure(QStringLiteral("it is too large to be a list of routines"));
    return parseRoutines(QString::fromUtf8(bytes));
}

files::Result<files::Done, QString> writeRoutinesFile(const QString& path,
                                                      const RoutinesFile& file) {
    const QByteArray text = formatRoutines(file).toUtf8();
    return persistence::writeWholeFile(path, std::string_view(text.constData(), text.size()));
}

} // namespace calmfield::routines
