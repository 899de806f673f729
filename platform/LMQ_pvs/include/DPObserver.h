// Stand-in for the host's subject-observer pair: a subject tells its attached observers of an
// event by a code and an object. An observer must detach itself before it is freed; a subject
// that goes away first detaches its observers, which can ask whether they still observe it.
// Choices: a notification skips observers detached (and possibly freed) by an earlier
// observer's handling of it, and one attached meanwhile hears only later notifications.
#pragma once
#include <algorithm>
#include <vector>

class DP_CSubject;

class DP_CObserver {
public:
    DP_CObserver() = default;
    DP_CObserver(const DP_CObserver&) = delete;
    DP_CObserver& operator=(const DP_CObserver&) = delete;
    virtual ~DP_CObserver() = default;
    // An event of pSubject: its code and object (meaning fixed by the subject).
    virtual void Update(DP_CSubject* pSubject, int nCode, void* pObject) = 0;
    bool IsObserving(const DP_CSubject* pSubject) const
    {
        return std::find(m_aSubjects.begin(), m_aSubjects.end(), pSubject) != m_aSubjects.end();
    }

private:
    std::vector<DP_CSubject*> m_aSubjects;
    friend class DP_CSubject;
};

class DP_CSubject {
public:
    DP_CSubject() = default;
    DP_CSubject(const DP_CSubject&) = delete;
    DP_CSubject& operator=(const DP_CSubject&) = delete;
    virtual ~DP_CSubject()
    {
        while (!m_aObservers.empty())
            Detach(m_aObservers.back());
    }
    // An observer is attached once however often it asks.
    void Attach(DP_CObserver* p)
    {
        if (!p || IsAttached(p))
            return;
        m_aObservers.push_back(p);
        p->m_aSubjects.push_back(this);
    }
    void Detach(DP_CObserver* p)
    {
        const auto it = std::find(m_aObservers.begin(), m_aObservers.end(), p);
        if (it == m_aObservers.end())
            return;
        m_aObservers.erase(it);
        p->m_aSubjects.erase(std::find(p->m_aSubjects.begin(), p->m_aSubjects.end(), this));
    }
    bool IsAttached(const DP_CObserver* p) const
    {
        return std::find(m_aObservers.begin(), m_aObservers.end(), p) != m_aObservers.end();
    }
    int GetObserverCount() const { return static_cast<int>(m_aObservers.size()); }
    void Notify(int nCode, void* pObject)
    {
        const std::vector<DP_CObserver*> aAtStart = m_aObservers;
        for (DP_CObserver* p : aAtStart)
            if (IsAttached(p))
                p->Update(this, nCode, pObject);
    }

private:
    std::vector<DP_CObserver*> m_aObservers;
};
