#include "conversion/CommandLines.h"

#include "app/helpers/Helpers.h"
#include "profiles/ProfileFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

TMencOutputSettings &MencOutputSettings()
{
    static TMencOutputSettings settings;
    return settings;
}

namespace {

// A disc may store two zero bytes or blanks where a stream has no language;
// only letters make a code that the first stage can look for.
bool IsLanguageCode(const QString &code)
{
    if (code.isEmpty())
        return false;
    for (const QChar c : code)
        if (!c.isLetter() || c.unicode() > 127)
            return false;
    return true;
}

const QChar Quote = QLatin1Char('"');

QString DescribeParameter(const TProfileParameter &p)
{
    return QStringLiteral("\"%1\"").arg(p.Name);
}

// A whole number written with decimal digits only.
bool IsWholeNumber(const QString &text, int &value)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    value = text.toInt();
    return true;
}

// Walks the parameters that carry a switch, resolving each; stops at the
// first one that cannot be resolved. A parameter without a switch adds
// nothing to either command line, so its value is never needed.
template <class Action>
QString ForEachSwitch(const TProfile &profile, const TGridLookup &lookup, Action action)
{
    for (int i = 0; i < profile.Parameters.size(); ++i) {
        if (profile.Parameters.at(i).Cmd.isEmpty())
            continue;
        const TResolvedParameter r = ResolveParameterAt(profile, i, lookup);
        if (!r.Ok())
            return r.Error;
        action(r.Switch, r.Value);
    }
    return QString();
}

} // namespace

TResolvedParameter ResolveParameterAt(const TProfile &profile, int index, const TGridLookup &lookup)
{
    TResolvedParameter r;
    if (index < 0 || index >= profile.Parameters.size()) {
        r.Error = QStringLiteral("The profile has no parameter at position %1.").arg(index);
        return r;
    }
    const TProfileParameter &p = profile.Parameters.at(index);
    r.Switch = p.Cmd;
    if (!p.List && p.ReadOnly) {
        r.Value = p.Value;
        return r;
    }
    const int grid = EffectiveGrid(profile, index);
    if (grid == 0) {
        r.Error = QStringLiteral("The profile parameter %1 belongs to no grid (its Sort is %2, and no "
                                 "parameter before it names a grid).")
                      .arg(DescribeParameter(p))
                      .arg(p.Sort);
        return r;
    }
    const QString rowText = lookup ? lookup(grid, p.Name) : QString();
    if (!p.List) {
        r.Value = rowText;
        return r;
    }
    const int position = IndexOfChoice(SplitCommaList(p.Caption), rowText);
    if (position < 0) {
        r.Error = QStringLiteral("The value \"%1\" of the profile parameter %2 is not one of its choices.")
                      .arg(rowText, DescribeParameter(p));
        return r;
    }
    const QStringList values = SplitCommaList(p.Value);
    if (position >= values.size()) {
        r.Error = QStringLiteral("The profile parameter %1 has no converter value for its choice \"%2\".")
                      .arg(DescribeParameter(p), rowText);
        return r;
    }
    r.Value = values.at(position);
    return r;
}

TResolvedParameter ResolveParameterValue(const TProfile &profile, const QString &name,
                                         const TGridLookup &lookup)
{
    for (int i = 0; i < profile.Parameters.size(); ++i)
        if (profile.Parameters.at(i).Name.compare(name, Qt::CaseInsensitive) == 0)
            return ResolveParameterAt(profile, i, lookup);
    TResolvedParameter r;
    r.Error = QStringLiteral("The profile has no parameter \"%1\".").arg(name);
    return r;
}

TBuildResult BuildEncoderOptions(const TProfile &profile, const TGridLookup &lookup,
                                 TMencOutputSettings &settings)
{
    settings = TMencOutputSettings();
    TMencOutputSettings found;
    QString bitrate, sampleRate;
    const QString error = ForEachSwitch(profile, lookup, [&](const QString &sw, const QString &value) {
        if (sw == QLatin1String("-s")) {
            QString size = value;
            size.replace(QLatin1Char('x'), QLatin1Char(':'), Qt::CaseInsensitive);
            found.VideoSize = size;
            if (!size.isEmpty()) {
                const int colon = size.indexOf(QLatin1Char(':'));
                found.Width = colon < 0 ? size : size.left(colon);
                found.Height = colon < 0 ? QString() : size.mid(colon + 1);
            } else {
                found.Width.clear();
                found.Height.clear();
            }
        } else if (sw == QLatin1String("-aspect")) {
            found.Aspect = value;
        }
        if (sw == QLatin1String("-b")) {
            bitrate = value;
            found.VideoBitrate = value;
        } else if (sw == QLatin1String("-ar")) {
            sampleRate = value;
            found.AudioRate = value;
        }
    });
    TBuildResult result;
    if (!error.isEmpty()) {
        result.Error = error;
        return result;
    }
    int width = 0;
    if (!found.VideoSize.isEmpty() && (!IsWholeNumber(found.Width, width) || width == 0)) {
        result.Error = QStringLiteral("The frame size \"%1\" of the profile does not start with a width in "
                                      "whole pixels.")
                           .arg(found.VideoSize);
        return result;
    }
    if (bitrate.isEmpty())
        bitrate = QStringLiteral("800");
    // ffmpeg takes "1500k"; mencoder wants a whole number, and reads one below
    // 16001 as kbit/s.
    if (bitrate.endsWith(QLatin1Char('k'), Qt::CaseInsensitive))
        bitrate.chop(1);
    settings = found;
    result.Text = QStringLiteral(" -ovc lavc -lavcopts vcodec=mpeg4:vbitrate=") + bitrate +
                  QStringLiteral(":mbd=2:autoaspect") + QStringLiteral(" -oac mp3lame -lameopts vbr=2:q=5") +
                  QStringLiteral(" -channels 2") + QStringLiteral(" -srate ") + sampleRate +
                  QStringLiteral(" -af volume=10:0");
    return result;
}

TBuildResult BuildEncoderOptions(const QString &profilePath, const TGridLookup &lookup,
                                 TMencOutputSettings &settings)
{
    settings = TMencOutputSettings();
    if (!QFileInfo(profilePath).isFile())
        return TBuildResult();
    return BuildEncoderOptions(ReadProfile(profilePath), lookup, settings);
}

TBuildResult BuildConverterOptions(const TProfile &profile, const TGridLookup &lookup)
{
    TBuildResult result;
    const QString error = ForEachSwitch(profile, lookup, [&](const QString &sw, const QString &value) {
        if (value.isEmpty())
            return;
        const QString argument = value == QLatin1String("\\") ? QString() : value;
        result.Text += QLatin1Char(' ') + sw + QLatin1Char(' ') + argument;
    });
    if (!error.isEmpty())
        return TBuildResult{QString(), error};
    return result;
}

TBuildResult BuildConverterOptions(const QString &profilePath, const TGridLookup &lookup)
{
    if (!QFileInfo(profilePath).isFile())
        return TBuildResult();
    return BuildConverterOptions(ReadProfile(profilePath), lookup);
}

QString QuotePath(const QString &path)
{
    return Quote + path + Quote;
}

QString IntermediateFilePath(const QString &workDir)
{
    return AddTrailingBackslash(workDir) + QStringLiteral("temp.avi");
}

namespace {

QString WithoutTrailingSeparator(const QString &path)
{
    if (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        return path.left(path.size() - 1);
    return path;
}

QString PathWithQuoteError(const QStringList &paths)
{
    for (const QString &p : paths)
        if (p.contains(Quote))
            return QStringLiteral("The path %1 holds a double quote, which cannot be passed to the "
                                  "conversion tools.")
                .arg(p);
    return QString();
}

} // namespace

TBuildResult BuildFirstStageArguments(const TaskItem &item, const TaskItem &title,
                                      const QString &encoderOptions, const QString &workDir,
                                      const QString &videoTsPath, const TMencOutputSettings &settings)
{
    TBuildResult result;
    const double start = ParseTimeText(item.TrimStartText);
    const double end = ParseTimeText(item.TrimEndText);
    if (start < 0 || end < 0 || end < start) {
        result.Error = QStringLiteral("The item %1 has no valid span (start \"%2\", end \"%3\").")
                           .arg(item.OutputName, item.TrimStartText, item.TrimEndText);
        return result;
    }
    const QString device = WithoutTrailingSeparator(videoTsPath);
    const QString intermediate = IntermediateFilePath(workDir);
    result.Error = PathWithQuoteError({device, intermediate});
    if (!result.Ok())
        return result;

    QString &t = result.Text;
    t += QStringLiteral(" dvd://") + QString::number(title.Number);
    t += QStringLiteral(" -dvd-device ") + QuotePath(device);
    t += QStringLiteral(" -ss ") + QString::number(start, 'f', 3);
    t += QStringLiteral(" -endpos ") + QString::number(end - start, 'f', 3);
    t += encoderOptions;
    const int language = item.AudioLanguageIndex;
    if (language >= 0 && language < title.AudioLanguages.size() &&
        IsLanguageCode(title.AudioLanguages.at(language)))
        t += QStringLiteral(" -alang ") + title.AudioLanguages.at(language);
    if (!settings.VideoSize.isEmpty()) {
        double ratio = 1.3333;
        if (settings.Aspect == QLatin1String("4:3"))
            ratio = 1.3333;
        else if (settings.Aspect == QLatin1String("16:9"))
            ratio = 1.7778;
        else if (title.AspectRatio == QLatin1String("16:9"))
            ratio = 1.7778;
        const long long height = RoundHalfEven(settings.Width.toInt() / ratio);
        t += QStringLiteral(" -vf scale=") + settings.Width + QLatin1Char(':') + QString::number(height) +
             QStringLiteral(",expand=") + settings.VideoSize;
    }
    if (item.SubtitleIndex != 0)
        t += QStringLiteral(" -sid ") + QString::number(item.SubtitleIndex - 1);
    t += QStringLiteral(" -o ") + QuotePath(intermediate);
    return result;
}

QString PreliminaryDrivePart(const QString &path)
{
    const QStorageInfo storage(path);
    if (!storage.isValid() || storage.rootPath().isEmpty())
        return WithoutTrailingSeparator(path);
    return WithoutTrailingSeparator(storage.rootPath());
}

QString BuildPreliminaryArguments(const TaskItem &title, const QString &videoTsPath)
{
    return QStringLiteral(" dvd://") + QString::number(title.Number) + QStringLiteral(" -dvd-device ") +
           QuotePath(PreliminaryDrivePart(videoTsPath)) + QStringLiteral(" -o temp.avi");
}

TBuildResult BuildSecondStageArguments(const QString &converterOptions, const QString &workDir,
                                       const QString &outputPath)
{
    const QString intermediate = IntermediateFilePath(workDir);
    TBuildResult result;
    result.Error = PathWithQuoteError({intermediate, outputPath});
    if (!result.Ok())
        return result;
    result.Text = QStringLiteral(" -y -i ") + QuotePath(intermediate) + converterOptions + QLatin1Char(' ') +
                  QuotePath(outputPath);
    return result;
}

QStringList SplitArguments(const QString &text)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == Quote) {
            quoted = !quoted;
            inArgument = true;
        } else if (!quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
            if (inArgument)
                arguments.append(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}
