#include "link/KTVCommand.h"

#include "model/Globals.h"

#include <cstring>
#include <mutex>

void CKTVCommand::AddCommand(std::unique_ptr<CSendData> frame) {
    if (!frame)
        return;
    std::lock_guard lock(g_csSend);
    m_SendQueue.Add(std::move(frame));
}

CSendData* CKTVCommand::GetCurrentCommand() {
    std::lock_guard lock(g_csSend);
    return m_SendQueue.GetHead();
}

int CKTVCommand::GetCommandCount() {
    std::lock_guard lock(g_csSend);
    return m_SendQueue.GetSize();
}

void CKTVCommand::PopCommand() {
    std::lock_guard lock(g_csSend);
    if (!m_SendQueue.GetHead())
        return;
    m_SendQueue.RemoveHead();
    ClearCommFlags();
}

void CKTVCommand::RewindCurrentCommand() {
    std::lock_guard lock(g_csSend);
    if (auto* head = m_SendQueue.GetHead())
        head->RewindChunks();
}

void CKTVCommand::ClearCommands() {
    std::lock_guard lock(g_csSend);
    m_SendQueue.RemoveAll();
    ResetReceiver();
}

void CKTVCommand::ResetReceiver() {
    m_nPreambleCount = 0;
    m_nByteCount = 0;
    m_bSynchronised = 0;
    m_nCarryCount = 0;
    std::memset(m_FrameBuf, 0, kResetZeroBytes);
}
