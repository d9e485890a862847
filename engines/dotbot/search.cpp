#include "engines/dotbot/search.h"

#include "engines/dotbot/playout.h"
#include "engines/dotbot/priors.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <type_traits>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t MAX_NODES = size_t{1} << 20; // per thread; a full tree stops growing
constexpr int32_t PLAYOUT_MOVES = 30;         // a playout's length past the tree
constexpr float EXPAND_VISITS = 2;            // visits before a leaf gets children
constexpr float EXPLORATION = 0.25f;
constexpr float AMAF_WEIGHT = 400; // visits at which own and all-moves statistics weigh equal
// Captured dots over which a playout's result goes from even to about three to one.
constexpr double MARGIN_SCALE = 4;

// Win statistics are kept for the side that played the node's move, priors included.
struct Node {
    int32_t cell;
    int32_t first_child; // -1 until expanded
    int32_t child_count;
    int32_t watch; // the expanded node's capture cells, an index into Tree::watches
    float visits;
    float wins;
    float amaf_visits;
    float amaf_wins;
};

// Orders children by their prior win rate, best first.
bool by_prior(const Node& x, const Node& y) {
    return x.wins / x.visits > y.wins / y.visits;
}

struct Tree {
    std::vector<Node> nodes;
    std::vector<Watch> watches;
    int64_t playouts = 0;
    // Per child of the root: the playouts through it, and those that ended with the root's
    // side ahead (a level end counts half), for the estimate of winning.
    std::vector<float> runs;
    std::vector<float> ahead;
};

// Sets the node's children from candidate cells, best prior first, with its watch list. A
// cell is probed for captures only where `probe` says so; elsewhere it counts as quiet.
// gain_of, when given, receives each side's gain on every candidate.
template <typename ShouldProbe>
void add_children(Tree& tree, int32_t node, FastBoard& b, const int32_t* cells, int32_t count,
                  ShouldProbe probe, bool rich, int32_t* const* gain_of) {
    const int32_t mover = b.side_to_move;
    const auto first = static_cast<int32_t>(tree.nodes.size());
    Watch watch{{}, 0};
    for (int32_t i = 0; i < count; ++i) {
        const int32_t c = cells[i];
        const bool probed = probe(c);
        const int32_t gain = probed ? probe_gain(b, c, mover) : 0;
        const int32_t threat = probed ? probe_gain(b, c, mover ^ 3) : 0;
        if (gain_of != nullptr) {
            gain_of[mover][c] = std::max(gain, 0);
            gain_of[mover ^ 3][c] = std::max(threat, 0);
        }
        const bool tactical = gain > 0 || threat > 0;
        if (tactical && watch.count < MAX_WATCH)
            watch.cells[watch.count++] = c;
        const float visits = tactical || rich ? PRIOR_VISITS : QUIET_PRIOR_VISITS;
        const float rate = capture_prior(gain, threat, touches_dot(b, c));
        tree.nodes.push_back({c, -1, 0, -1, visits, visits * rate, 0, 0});
    }
    std::stable_sort(tree.nodes.begin() + first, tree.nodes.end(), by_prior);
    Node& n = tree.nodes[node];
    n.first_child = first;
    n.child_count = count;
    n.watch = static_cast<int32_t>(tree.watches.size());
    tree.watches.push_back(watch);
}

// Gives the root its children: every candidate probed, and the priors also weigh what each
// move sets up, the likeliest moves first, for as long as the deadline allows.
void expand_root(Tree& tree, FastBoard& b, Clock::time_point deadline) {
    thread_local int32_t cells[FAST_CAPACITY];
    thread_local int32_t gains[3][FAST_CAPACITY];
    // Cells further from the dots than the candidates capture nothing.
    std::fill(gains[1] + b.first_cell, gains[1] + b.end_cell, 0);
    std::fill(gains[2] + b.first_cell, gains[2] + b.end_cell, 0);
    int32_t* const gain_of[3] = {nullptr, gains[1], gains[2]};
    const int32_t count = candidate_cells(b, cells);
    add_children(
        tree, 0, b, cells, count, [](int32_t) { return true; }, true, gain_of);
    const auto children = tree.nodes.begin() + tree.nodes[0].first_child;
    const int32_t* const before[3] = {nullptr, gains[1], gains[2]};
    for (int32_t i = 0; i < count; ++i) {
        if (i % 8 == 0 && Clock::now() >= deadline)
            break;
        Node& child = children[i];
        const float rate = child.wins / child.visits + setup_bonus(b, child.cell, before);
        child.wins = child.visits * std::min(rate, 0.98f);
    }
    std::stable_sort(children, children + count, by_prior);
}

// Gives a leaf below the root its children. One dot, the leaf's, lies between its position
// and its parent's, so it inherits the parent's candidates and adds the cells around that
// dot, each if it is worth playing for the side to move; only the cells around the dot and
// those where the parent saw a capture are probed again. With none of them left, the leaf
// takes its candidates afresh.
void expand_leaf(Tree& tree, int32_t node, int32_t parent, FastBoard& b) {
    thread_local int32_t cells[FAST_CAPACITY];
    thread_local int32_t mark[FAST_CAPACITY];
    thread_local int32_t probe_mark[FAST_CAPACITY];
    thread_local int32_t generation = 0;
    ++generation;
    const int32_t move = tree.nodes[node].cell;
    int32_t count = 0;
    auto add = [&](int32_t c) {
        if (mark[c] != generation && worth_playing(b, c, b.side_to_move)) {
            mark[c] = generation;
            cells[count++] = c;
        }
    };
    const Node& from = tree.nodes[parent];
    for (int32_t i = from.first_child; i < from.first_child + from.child_count; ++i)
        add(tree.nodes[i].cell);
    const int32_t row = b.cols + 2;
    for (int32_t dy = -2; dy <= 2; ++dy) {
        for (int32_t dx = -2; dx <= 2; ++dx) {
            const int32_t n = move + dy * row + dx;
            if (n < b.first_cell || n >= b.end_cell)
                continue;
            add(n);
            probe_mark[n] = generation;
        }
    }
    const Watch& seen = tree.watches[static_cast<size_t>(from.watch)];
    for (int32_t w = 0; w < seen.count; ++w)
        probe_mark[seen.cells[w]] = generation;
    if (count == 0) {
        count = candidate_cells(b, cells);
        for (int32_t i = 0; i < count; ++i)
            probe_mark[cells[i]] = generation;
    }
    add_children(
        tree, node, b, cells, count, [&](int32_t c) { return probe_mark[c] == generation; }, false,
        nullptr);
}

// The child to follow: the best blend of its own and its all-moves win rates plus an
// exploration bonus, among the children with the best priors; more of them are admitted
// as the node's visits grow (progressive widening).
int32_t select_child(const Tree& tree, int32_t node) {
    const Node& parent = tree.nodes[node];
    const float log_visits = std::log(parent.visits + 1);
    const int32_t width =
        std::min(parent.child_count, 4 + static_cast<int32_t>(std::sqrt(parent.visits)));
    int32_t best = parent.first_child;
    float best_value = -1;
    for (int32_t i = parent.first_child; i < parent.first_child + width; ++i) {
        const Node& child = tree.nodes[i];
        const float q = child.wins / child.visits;
        float value = q;
        if (child.amaf_visits > 0) {
            const float beta = child.amaf_visits / (child.amaf_visits + child.visits +
                                                    child.visits * child.amaf_visits / AMAF_WEIGHT);
            value = (1 - beta) * q + beta * child.amaf_wins / child.amaf_visits;
        }
        value += EXPLORATION * std::sqrt(log_visits / child.visits);
        if (value > best_value) {
            best_value = value;
            best = i;
        }
    }
    return best;
}

// Credits one simulation to the nodes of its path and, as all-moves-as-first statistics,
// to their children whose cell the side to move there played later in the simulation.
void back_up(Tree& tree, const int32_t* path, int32_t depth, const MoveTrace& trace,
             int32_t root_side, double side1_result) {
    thread_local int32_t played_at[FAST_CAPACITY];
    thread_local int32_t played_stamp[FAST_CAPACITY];
    thread_local int32_t simulation = 0;
    ++simulation;
    for (int32_t j = 0; j < trace.length; ++j) {
        played_at[trace.cells[j]] = j;
        played_stamp[trace.cells[j]] = simulation;
    }
    for (int32_t i = 0; i < depth; ++i) {
        // The side to move at path[i] played the trace's moves i, i + 2, ...
        const int32_t side = i % 2 == 0 ? root_side : root_side ^ 3;
        const auto result = static_cast<float>(side == 1 ? side1_result : 1 - side1_result);
        Node& n = tree.nodes[path[i]];
        n.visits += 1;
        n.wins += 1 - result; // n's own move was the other side's
        for (int32_t c = n.first_child; c >= 0 && c < n.first_child + n.child_count; ++c) {
            Node& child = tree.nodes[c];
            if (played_stamp[child.cell] != simulation)
                continue;
            const int32_t j = played_at[child.cell];
            if (j >= i && (j - i) % 2 == 0) {
                child.amaf_visits += 1;
                child.amaf_wins += result;
            }
        }
    }
}

// One simulation: down the tree, a playout from the leaf, the result back up. The result
// is side 1's share of the captures made meanwhile, squashed into 0 to 1, so that the
// search keeps telling moves apart when the game itself is already won or lost; a game won
// by grounding at the playout's end is a whole win.
void simulate(Tree& tree, const FastBoard& root, int32_t last, int32_t previous, Rng& rng) {
    // Trivially destructible, as every thread-local object here (see probe_bases).
    static_assert(std::is_trivially_destructible_v<FastBoard> &&
                  std::is_trivially_destructible_v<MoveTrace>);
    thread_local FastBoard b;
    thread_local MoveTrace trace;
    int32_t path[FAST_CAPACITY];
    b = root;
    trace.length = 0;
    int32_t depth = 0;
    int32_t node = 0;
    int32_t watch = tree.nodes[0].watch;
    path[depth++] = 0;
    while (tree.nodes[node].child_count > 0) {
        watch = tree.nodes[node].watch;
        node = select_child(tree, node);
        const int32_t cell = tree.nodes[node].cell;
        put_dot(b, cell);
        trace.cells[trace.length++] = cell;
        previous = last;
        last = cell;
        path[depth++] = node;
    }
    if (tree.nodes[node].first_child < 0 && tree.nodes[node].visits >= EXPAND_VISITS &&
        tree.nodes.size() < MAX_NODES) {
        expand_leaf(tree, node, path[depth - 2], b);
        watch = tree.nodes[node].watch;
    }
    const PlayoutEnd end =
        run_playout(b, last, previous, tree.watches[watch], PLAYOUT_MOVES, rng, trace);
    const int32_t root_balance = root.side_to_move == 1 ? root.score : -root.score;
    const double side1_result =
        end.grounded_winner != 0 ? (end.grounded_winner == 1 ? 1.0 : 0.0)
                                 : 1 / (1 + std::exp((root_balance - end.balance) / MARGIN_SCALE));
    back_up(tree, path, depth, trace, root.side_to_move, side1_result);
    ++tree.playouts;
    if (depth > 1) {
        const size_t child = static_cast<size_t>(path[1] - tree.nodes[0].first_child);
        const int32_t own_balance = root.side_to_move == 1 ? end.balance : -end.balance;
        tree.runs[child] += 1;
        if (end.grounded_winner != 0)
            tree.ahead[child] += end.grounded_winner == root.side_to_move ? 1.0f : 0.0f;
        else
            tree.ahead[child] += own_balance > 0 ? 1.0f : own_balance == 0 ? 0.5f : 0.0f;
    }
}

// One thread's search: simulations until the deadline, the playout count (0: none) or the
// stop flag.
void grow_tree(Tree& tree, const FastBoard& root, int32_t last, int32_t previous,
               Clock::time_point deadline, int64_t playouts, uint64_t seed,
               const std::atomic<bool>& stop) {
    Rng rng = make_rng(seed);
    FastBoard scratch = root;
    tree.nodes.reserve(size_t{1} << 16);
    tree.nodes.push_back({-1, -1, 0, -1, 0, 0, 0, 0});
    expand_root(tree, scratch, deadline);
    tree.runs.assign(static_cast<size_t>(tree.nodes[0].child_count), 0);
    tree.ahead.assign(static_cast<size_t>(tree.nodes[0].child_count), 0);
    // A single free cell needs no search.
    while (tree.nodes[0].child_count > 1 && !stop.load(std::memory_order_relaxed) &&
           (playouts == 0 || tree.playouts < playouts) && Clock::now() < deadline)
        simulate(tree, root, last, previous, rng);
}

} // namespace

SearchReport search_move(const FastBoard& board, int32_t last, int32_t previous,
                         const SearchLimits& limits, const std::atomic<bool>& stop) {
    int threads = std::max(limits.threads, 1);
    if (limits.playouts > 0 && limits.playouts < threads)
        threads = static_cast<int>(limits.playouts);
    std::vector<Tree> trees(static_cast<size_t>(threads));
    std::vector<std::thread> helpers;
    // A playout count is shared out so that the threads together do exactly that many.
    auto share = [&](int t) { return (limits.playouts + t) / threads; };
    for (int t = 1; t < threads; ++t) {
        helpers.emplace_back(grow_tree, std::ref(trees[t]), std::cref(board), last, previous,
                             limits.deadline, share(t), limits.seed + t, std::cref(stop));
    }
    grow_tree(trees[0], board, last, previous, limits.deadline, share(0), limits.seed, stop);
    for (std::thread& helper : helpers)
        helper.join();

    // The trees' roots have the same children, though not in the same order when a
    // deadline cut their priors short: add them up by cell.
    thread_local float visits_at[FAST_CAPACITY];
    thread_local float runs_at[FAST_CAPACITY];
    thread_local float ahead_at[FAST_CAPACITY];
    const Node& root = trees[0].nodes[0];
    for (int32_t i = 0; i < root.child_count; ++i) {
        const int32_t cell = trees[0].nodes[root.first_child + i].cell;
        visits_at[cell] = runs_at[cell] = ahead_at[cell] = 0;
    }
    for (const Tree& tree : trees) {
        for (int32_t i = 0; i < root.child_count; ++i) {
            const int32_t cell = tree.nodes[root.first_child + i].cell;
            visits_at[cell] += tree.nodes[root.first_child + i].visits;
            runs_at[cell] += tree.runs[static_cast<size_t>(i)];
            ahead_at[cell] += tree.ahead[static_cast<size_t>(i)];
        }
    }
    SearchReport report{-1, 0, 0.5};
    float best_visits = -1;
    for (int32_t i = 0; i < root.child_count; ++i) {
        const int32_t cell = trees[0].nodes[root.first_child + i].cell;
        if (visits_at[cell] > best_visits) {
            best_visits = visits_at[cell];
            report.cell = cell;
            report.win_rate = runs_at[cell] > 0 ? ahead_at[cell] / runs_at[cell] : 0.5;
        }
    }
    for (const Tree& tree : trees)
        report.playouts += tree.playouts;
    return report;
}
