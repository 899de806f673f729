// The host's side of the graph windows of a document, for tests and the demo host: while it
// lives it is the document's graph-view source, opening one recording view per graph title and
// handing the same view back for a title asked again.
#pragma once
#include "DBDoc.h"
#include "XYGraphFuncView.h"

#include <map>
#include <memory>
#include <string>

namespace kvpvs::host {

class CGraphWindowsHost {
public:
    explicit CGraphWindowsHost(CDBDoc& doc) : m_doc(doc)
    {
        m_doc.SetGraphViewSource([this](const char* pszTitle) { return Open(pszTitle); });
    }
    ~CGraphWindowsHost() { m_doc.SetGraphViewSource(nullptr); }
    CGraphWindowsHost(const CGraphWindowsHost&) = delete;
    CGraphWindowsHost& operator=(const CGraphWindowsHost&) = delete;

    // The view of a title; null when none was asked for.
    CXYGraphFuncView* Find(const char* pszTitle) const
    {
        auto it = m_views.find(pszTitle ? pszTitle : "");
        return it == m_views.end() ? nullptr : it->second.get();
    }
    int GetViewCount() const { return static_cast<int>(m_views.size()); }
    int GetRequestCount() const { return m_nRequests; }
    // New views write each graph they get to this file.
    void SetOutputPath(const std::string& path) { m_strOutputPath = path; }

private:
    CXYGraphFuncView* Open(const char* pszTitle)
    {
        ++m_nRequests;
        auto& p = m_views[pszTitle ? pszTitle : ""];
        if (!p) {
            p = std::make_unique<CXYGraphFuncView>();
            p->SetOutputPath(m_strOutputPath.c_str());
        }
        return p.get();
    }

    CDBDoc& m_doc;
    std::map<std::string, std::unique_ptr<CXYGraphFuncView>> m_views;
    int m_nRequests = 0;
    std::string m_strOutputPath;
};

} // namespace kvpvs::host
