#include "core/StoreFailure.h"

#include "core/WindowState.h"

#include "platform/MessageBox.h"
#include "platform/Platform.h"
#include "platform/ProcessEnd.h"

namespace tavlo {

void reportStoreFailure(const QString &message, WindowState &state, const Platform &platform)
{
    state.MainRecordset.Close();
    state.DetailRecordset.Close();
    state.Conn.Rollback();
    platform.messageBox->show(message, MessageBox::Critical | MessageBox::OkOnly, QStringLiteral("TAVLO"));
    platform.processEnd->endNow(1);
}

} // namespace tavlo
