#include "reading/Lattice.h"

#include <QHash>
#include <QSet>

#include <limits>
#include <queue>
#include <vector>

namespace reading {

namespace {

constexpr long long Unreachable = std::numeric_limits<long long>::max() / 4;

} // namespace

Lattice::Lattice(qsizetype length, Connection connection)
    : m_length(length), m_connection(std::move(connection)), m_byBegin(size_t(length) + 1),
      m_byEnd(size_t(length) + 1)
{
}

int Lattice::add(Candidate c)
{
    if (c.begin < 0 || c.end > m_length || c.begin >= c.end)
        return -1;
    const int index = int(m_candidates.size());
    m_byBegin[size_t(c.begin)].append(index);
    m_byEnd[size_t(c.end)].append(index);
    m_candidates.push_back(std::move(c));
    return index;
}

std::vector<long long> Lattice::forward() const
{
    std::vector<long long> cost(m_candidates.size(), Unreachable);
    for (qsizetype p = 0; p < m_length; ++p) {
        for (int i : m_byBegin[size_t(p)]) {
            const Candidate &c = m_candidates[size_t(i)];
            long long bestBefore = Unreachable;
            if (p == 0) {
                bestBefore = m_connection(0, c.left);
            } else {
                for (int j : m_byEnd[size_t(p)]) {
                    if (cost[size_t(j)] >= Unreachable)
                        continue;
                    const long long via =
                        cost[size_t(j)] + m_connection(m_candidates[size_t(j)].right, c.left);
                    bestBefore = std::min(bestBefore, via);
                }
            }
            if (bestBefore < Unreachable)
                cost[size_t(i)] = bestBefore + c.cost;
        }
    }
    return cost;
}

QList<int> Lattice::best() const
{
    const std::vector<long long> cost = forward();
    // Backwards from the end: each step takes the candidate before that the forward pass
    // found cheapest.
    QList<int> path;
    int current = -1;
    long long bestCost = Unreachable;
    for (int i : m_byEnd[size_t(m_length)]) {
        if (cost[size_t(i)] >= Unreachable)
            continue;
        const long long total = cost[size_t(i)] + m_connection(m_candidates[size_t(i)].right, 0);
        if (total < bestCost) {
            bestCost = total;
            current = i;
        }
    }
    while (current >= 0) {
        path.prepend(current);
        const Candidate &c = m_candidates[size_t(current)];
        if (c.begin == 0)
            break;
        int previous = -1;
        long long previousCost = Unreachable;
        for (int j : m_byEnd[size_t(c.begin)]) {
            if (cost[size_t(j)] >= Unreachable)
                continue;
            const long long via =
                cost[size_t(j)] + m_connection(m_candidates[size_t(j)].right, c.left);
            if (via < previousCost) {
                previousCost = via;
                previous = j;
            }
        }
        if (previous < 0)
            return {};
        current = previous;
    }
    return path;
}

Lattice::Way Lattice::cheapestWithin(qsizetype begin, qsizetype end,
                                     const std::function<bool(const Candidate &)> &use) const
{
    struct Best
    {
        long long cost = Unreachable;
        quint16 left = 0;
    };
    // For each candidate inside the span: the cheapest way from the span's start through it.
    QHash<int, Best> best;
    for (qsizetype p = begin; p < end; ++p) {
        for (int i : m_byBegin[size_t(p)]) {
            const Candidate &c = m_candidates[size_t(i)];
            if (c.end > end || !use(c))
                continue;
            Best b;
            if (p == begin) {
                b = {c.cost, c.left};
            } else {
                for (int j : m_byEnd[size_t(p)]) {
                    const auto it = best.constFind(j);
                    if (it == best.cend())
                        continue;
                    const long long via =
                        it->cost + m_connection(m_candidates[size_t(j)].right, c.left) + c.cost;
                    if (via < b.cost)
                        b = {via, it->left};
                }
            }
            if (b.cost < Unreachable)
                best.insert(i, b);
        }
    }
    Way way;
    for (int i : m_byEnd[size_t(end)]) {
        const auto it = best.constFind(i);
        if (it == best.cend() || (way.found && it->cost >= way.cost))
            continue;
        way = {true, it->cost, it->left, m_candidates[size_t(i)].right};
    }
    return way;
}

QList<Lattice::Path> Lattice::nBest(int count, long long margin, int work,
                                    const std::function<QString(int)> &readingOf) const
{
    QList<Path> paths;
    const std::vector<long long> cost = forward();
    // A* from the end backwards: a state is a candidate with the path after it; its
    // priority is the cost of that path plus the cheapest way from the start up to it, so
    // whole paths come out cheapest first.
    struct State
    {
        long long after; // connections and costs after the candidate, its own not included
        long long priority;
        int candidate;
        int parent;    // the state after this one, -1 at the end
        bool complete; // the path reaches the start: whole
        size_t readingHash;
    };
    std::vector<State> states;
    auto worse = [&states](int a, int b) {
        return states[size_t(a)].priority > states[size_t(b)].priority;
    };
    std::priority_queue<int, std::vector<int>, decltype(worse)> open(worse);
    QSet<QPair<int, size_t>> seen;
    QSet<size_t> readings;
    QHash<int, size_t> readingHashes;
    auto hashOf = [&](int i) {
        const auto it = readingHashes.constFind(i);
        if (it != readingHashes.cend())
            return *it;
        const size_t h = qHash(readingOf(i));
        readingHashes.insert(i, h);
        return h;
    };
    for (int i : m_byEnd[size_t(m_length)]) {
        if (cost[size_t(i)] >= Unreachable)
            continue;
        const long long after = m_connection(m_candidates[size_t(i)].right, 0);
        states.push_back({after, after + cost[size_t(i)], i, -1, false, hashOf(i)});
        open.push(int(states.size() - 1));
    }
    long long bestCost = -1;
    for (int steps = 0; !open.empty() && steps < work && paths.size() < count; ++steps) {
        const int s = open.top();
        open.pop();
        const State state = states[size_t(s)];
        if (bestCost >= 0 && state.priority > bestCost + margin)
            break;
        const Candidate &c = m_candidates[size_t(state.candidate)];
        if (state.complete) {
            if (readings.contains(state.readingHash))
                continue;
            readings.insert(state.readingHash);
            Path path;
            path.cost = state.priority;
            for (int k = s; k >= 0; k = states[size_t(k)].parent)
                path.candidates.append(states[size_t(k)].candidate);
            if (bestCost < 0)
                bestCost = path.cost;
            paths.append(path);
            continue;
        }
        // The same candidate reached again with the same reading after it leads to nothing new.
        if (seen.contains({state.candidate, state.readingHash}))
            continue;
        seen.insert({state.candidate, state.readingHash});
        if (c.begin == 0) {
            // The path is this candidate, then the states after it.
            const long long total = state.after + c.cost + m_connection(0, c.left);
            states.push_back(
                {total, total, state.candidate, state.parent, true, state.readingHash});
            open.push(int(states.size() - 1));
            continue;
        }
        for (int j : m_byEnd[size_t(c.begin)]) {
            if (cost[size_t(j)] >= Unreachable)
                continue;
            const long long after =
                state.after + c.cost + m_connection(m_candidates[size_t(j)].right, c.left);
            const size_t h = hashOf(j) * 1000003u ^ state.readingHash;
            states.push_back({after, after + cost[size_t(j)], j, s, false, h});
            open.push(int(states.size() - 1));
        }
    }
    return paths;
}

} // namespace reading
