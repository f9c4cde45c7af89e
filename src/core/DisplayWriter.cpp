#include "core/DisplayWriter.h"

#include "core/DbTask.h"
#include "platform/FileLookup.h"
#include "base/LeadingNumber.h"
#include "core/PlayerMarkers.h"
#include "platform/ProgramFolder.h"
#include "core/StoreError.h"
#include "base/TextFile.h"
#include "core/WindowState.h"

#include <QFile>

namespace tavlo {

namespace {

void copyWhenMissing(const QString &folder, const QString &programFolder, const QString &fileName)
{
    if (!findFileIgnoringCase(folder, fileName).isEmpty())
        return;
    const QString source = findFileIgnoringCase(programFolder, fileName);
    if (source.isEmpty())
        return;
    QFile file(source);
    if (!file.copy(folder + fileName))
        throw StoreError(QStringLiteral("Cannot copy %1 to %2: %3").arg(source, folder + fileName, file.errorString()));
}

} // namespace

QString displayFolder(const QString &filePath, const QString &programFolder)
{
    return withTrailingSeparator(filePath.isEmpty() ? programFolder : filePath);
}

int gamesInFirstRow(int games)
{
    return games <= 5 ? games : (games + 1) / 2;
}

int columnPercent(int games)
{
    const int s = gamesInFirstRow(games);
    return s <= 0 ? 100 : static_cast<int>(roundHalfEven(100.0 / s));
}

void CreateHTML(WindowState &state, const QString &programFolder)
{
    const QString folder = displayFolder(state.FilePath, programFolder);
    copyWhenMissing(folder, programFolder, DisplayPageName);
    copyWhenMissing(folder, programFolder, DisplayPictureName);

    // A count or width below one cannot show anything: it takes the fallback of 0.
    if (state.PlayersPerListRow1 < 1)
        state.PlayersPerListRow1 = 15;
    if (state.PlayersPerListRow2 < 1)
        state.PlayersPerListRow2 = 10;
    const QString width = state.ListWidth > 0 ? QString::number(state.ListWidth) : QStringLiteral("90%");

    dbTask("open", state);
    openStatement(state.MainRecordset, QStringLiteral("Select * From lists Order By listbox_order"), state);
    const int games = state.MainRecordset.RecordCount();
    const QString percent = QString::number(columnPercent(games));
    const int firstRow = gamesInFirstRow(games);

    static const QString eol = QStringLiteral("\r\n");
    const QString gameHead = QStringLiteral("<td width='") + percent
            + QStringLiteral("%' valign='top' align='center'><table border='0' width='") + width
            + QStringLiteral("' class='list' cellspacing='0' cellpadding='1'><tr><td class='listhead'>");
    const QString blankRow = QStringLiteral("<tr><td>&nbsp;</td></tr>") + eol;

    // The whole board is built first and then written in one step.
    QString html;
    html += QStringLiteral("<table border='0' width='100%'><tr>") + eol;
    int rows = state.PlayersPerListRow1;
    int k = 0;
    while (!state.MainRecordset.Eof()) {
        const QString gameId = QString::number(state.MainRecordset.value(QStringLiteral("id")).toLongLong());
        openStatement(state.DetailRecordset,
                      QStringLiteral("Select * From list_content Where list_id=") + gameId
                              + QStringLiteral(" Order By listbox_order"),
                      state);
        html += gameHead + state.MainRecordset.value(QStringLiteral("list_name")).toString()
                + QStringLiteral("</td></tr>") + eol;
        int m = 0;
        for (;;) {
            if (state.DetailRecordset.Eof()) {
                for (; m < rows; ++m)
                    html += blankRow;
                break;
            }
            html += QStringLiteral("<tr><td>")
                    + renderPlayerName(state.DetailRecordset.value(QStringLiteral("player_name")).toString())
                    + QStringLiteral("</td></tr>") + eol;
            ++m;
            if (m >= rows)
                break;
            state.DetailRecordset.MoveNext();
        }
        html += QStringLiteral("</table></td>") + eol;
        ++k;
        if (k == firstRow) {
            html += QStringLiteral("</tr><tr><td width='") + percent + QStringLiteral("%'>&nbsp;</td></tr><tr>") + eol;
            rows = state.PlayersPerListRow2;
        }
        state.DetailRecordset.Close();
        state.MainRecordset.MoveNext();
    }
    state.MainRecordset.Close();
    html += QStringLiteral("</tr></table>") + eol;

    const QString error = writeFileAtomically(folder + DisplayFragmentName, encodeSystemText(html));
    if (!error.isEmpty())
        throw StoreError(QStringLiteral("Cannot write %1: %2").arg(folder + DisplayFragmentName, error));
    dbTask("close", state);
}

} // namespace tavlo
