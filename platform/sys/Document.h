#pragma once

// Root of the program's document: the data a window shows, with its title.
// Display-free; the window layer's document template creates documents and
// attaches their views.

#include "platform/sys/Object.h"
#include "platform/sys/WinTypes.h"

class CDocument : public CObject {
public:
    ~CDocument() override = default;

    // A fresh, empty document: no changes to save.
    virtual BOOL OnNewDocument() {
        m_bModified = FALSE;
        return TRUE;
    }

    void SetTitle(const CString& title) { m_strTitle = title; }
    const CString& GetTitle() const { return m_strTitle; }
    void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }
    BOOL IsModified() const { return m_bModified; }

protected:
    CDocument() = default;

private:
    CString m_strTitle;
    BOOL m_bModified = FALSE;
};
