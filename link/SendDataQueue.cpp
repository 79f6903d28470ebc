#include "link/SendDataQueue.h"

void CSendDataQueue::RemoveHead() {
    if (!m_frames.empty())
        m_frames.pop_front();
}
