#include "model/ComputeNormals.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "model/NormalTables.h"

namespace {

// The Gaussian of sigma radius / 2 at -radius .. radius, in whole numbers (the centre
// 64): sums of whole numbers cancel exactly, so symmetric surroundings give exactly
// symmetric directions.
struct Weights {
  int radius;
  std::vector<std::int32_t> g;   // g[t + radius]
  std::vector<std::int32_t> tg;  // t * g(t)
};

Weights WeightsFor(int radius) {
  Weights w{radius, {}, {}};
  const double sigma = radius / 2.0;
  for (int t = -radius; t <= radius; ++t) {
    const auto g = std::int32_t(std::lround(64 * std::exp(-t * t / (2 * sigma * sigma))));
    w.g.push_back(g);
    w.tg.push_back(t * g);
  }
  return w;
}

// The three sums, each along one axis; x fastest. Built also for AVX2, taken where the
// processor has it: whole numbers, so the result is the same either way.
#if defined(__x86_64__) && defined(__GNUC__)
#define KOBALTINE_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KOBALTINE_CLONES
#endif

KOBALTINE_CLONES void SumTwo(std::int32_t* __restrict a, std::int32_t* __restrict b,
                             const std::int32_t* __restrict in, std::int32_t wa, std::int32_t wb,
                             int n) {
  for (int x = 0; x < n; ++x) {
    a[x] += wa * in[x];
    b[x] += wb * in[x];
  }
}

KOBALTINE_CLONES void SumThree(std::int32_t* __restrict px, std::int32_t* __restrict py,
                               std::int32_t* __restrict pz, const std::int32_t* __restrict a,
                               const std::int32_t* __restrict b, std::int32_t g, std::int32_t tg,
                               int n) {
  for (int x = 0; x < n; ++x) {
    px[x] += g * a[x];
    py[x] += tg * b[x];
    pz[x] += g * b[x];
  }
}

KOBALTINE_CLONES void SumLayers(std::int32_t* __restrict gx, std::int32_t* __restrict gy,
                                std::int32_t* __restrict gz, const std::int32_t* __restrict px,
                                const std::int32_t* __restrict py,
                                const std::int32_t* __restrict pz, std::int32_t g, std::int32_t tg,
                                int n) {
  for (int x = 0; x < n; ++x) {
    gx[x] += g * px[x];
    gy[x] += g * py[x];
    gz[x] += tg * pz[x];
  }
}

// Most rows of a real model are empty, and most of a dense one are full; a uniform
// surrounding has no gradient, since the weights t * g(t) cancel. So the sums are
// taken only where the cells around differ, and uniform rows share precomputed ones.
enum class Row : std::uint8_t {
  Empty,  // after the pass along x: no cell of the row filled; after y: nor of the rows around
  Full,   // every cell of the row filled
  Core,   // after the pass along y: every row within radius filled, none beyond the extent
  Mixed,  // anything else: summed cell by cell
};

// One layer after the passes along x and y: the three products whose sums along z give
// the gradient (x: t*g along x, g along y; y: g along x, t*g along y; z: g along both),
// row by row; a uniform row points at a shared one instead of its own.
struct Plane {
  std::vector<std::int32_t> px, py, pz;
  std::vector<const std::int32_t*> rx, ry, rz;
  std::vector<Row> kind;
  std::vector<Row> own;  // the kind of the layer's own row after the pass along x
};

class Estimator {
 public:
  Estimator(const TVoxelModel& model, int radius)
      : model_(model),
        w_(WeightsFor(radius)),
        sx_(model.SizeX),
        sy_(model.SizeY),
        sz_(model.SizeZ),
        stride_((sx_ + 7) & ~7) {
    // Rows are summed a whole number of vectors long; the cells past the end of a row
    // gather values nothing reads.
    const std::size_t n = std::size_t(stride_), cells = n * std::size_t(sy_);
    const std::size_t rows = std::size_t(sy_);
    ring_.resize(std::size_t(2 * radius + 1));
    for (Plane& p : ring_) {
      p.px.resize(cells), p.py.resize(cells), p.pz.resize(cells);
      p.rx.resize(rows), p.ry.resize(rows), p.rz.resize(rows);
      p.kind.resize(rows), p.own.resize(rows);
    }
    a_.resize(cells), b_.resize(cells);
    ra_.resize(rows), rb_.resize(rows);
    occ_.resize(n + 2 * std::size_t(radius));
    zero_.assign(n, 0);
    gx_.resize(n), gy_.resize(n), gz_.resize(n);

    // A full row: its pass along x, its pass along y among full rows (the t * g part
    // cancels there), and what the pass along z makes of that among full layers.
    fullA_.assign(n, 0), fullB_.assign(n, 0);
    std::fill_n(occ_.begin() + radius, sx_, 1);
    for (int t = 0; t <= 2 * radius; ++t)
      SumTwo(fullA_.data(), fullB_.data(), occ_.data() + t, w_.tg[std::size_t(t)],
             w_.g[std::size_t(t)], stride_);
    std::int32_t sum = 0;
    for (std::int32_t g : w_.g) sum += g;
    coreX_.assign(n, 0), coreZ_.assign(n, 0);
    for (std::size_t x = 0; x < n; ++x) {
      coreX_[x] = sum * fullA_[x];
      coreZ_[x] = sum * fullB_[x];
      const std::int32_t gx = sum * coreX_[x];
      // Elsewhere in a core row the gradient is zero and all six neighbours are filled.
      if (x < std::size_t(sx_) && (gx != 0 || x == 0 || x + 1 == std::size_t(sx_)))
        coreEdge_.push_back({int(x), gx});
    }
  }

  // Calls found(x, y, z, index) for every voxel of colour not 0 in layers z0..z1 that
  // has a direction, in storage order.
  template <typename F>
  void Run(int z0, int z1, F&& found) {
    const int r = w_.radius;
    for (int z = z0 - r; z <= z1 + r; ++z) {
      Fill(z, Slot(z));
      const int out = z - r;  // its layers out - r .. out + r are all filled now
      if (out >= z0) Emit(out, found);
    }
  }

 private:
  Plane& Slot(int z) {
    const int n = int(ring_.size());
    return ring_[std::size_t(((z % n) + n) % n)];
  }

  // The passes along x and y of layer z; a layer beyond the extent is empty.
  void Fill(int z, Plane& plane) {
    const std::size_t n = std::size_t(stride_);
    if (z < 0 || z >= sz_) {
      std::fill(plane.kind.begin(), plane.kind.end(), Row::Empty);
      std::fill(plane.own.begin(), plane.own.end(), Row::Empty);
      std::fill(plane.rx.begin(), plane.rx.end(), zero_.data());
      std::fill(plane.ry.begin(), plane.ry.end(), zero_.data());
      std::fill(plane.rz.begin(), plane.rz.end(), zero_.data());
      return;
    }
    const int r = w_.radius;
    const std::uint8_t* layer = model_.Colours.layer(unsigned(z));
    for (int y = 0; y < sy_; ++y) {
      const std::uint8_t* row = layer + (std::size_t(y) << 8);
      int filled = 0;
      for (int x = 0; x < sx_; ++x) filled += row[x] != 0;
      if (filled == 0 || filled == sx_) {
        plane.own[std::size_t(y)] = filled ? Row::Full : Row::Empty;
        ra_[std::size_t(y)] = filled ? fullA_.data() : zero_.data();
        rb_[std::size_t(y)] = filled ? fullB_.data() : zero_.data();
        continue;
      }
      for (int x = 0; x < sx_; ++x) occ_[std::size_t(x + r)] = row[x] != 0;
      std::int32_t* a = &a_[std::size_t(y) * n];
      std::int32_t* b = &b_[std::size_t(y) * n];
      std::fill_n(a, n, 0);
      std::fill_n(b, n, 0);
      for (int t = 0; t <= 2 * r; ++t) {
        const std::int32_t g = w_.g[std::size_t(t)], tg = w_.tg[std::size_t(t)];
        // occ_[x + t] is the cell x + t - r
        SumTwo(a, b, occ_.data() + t, tg, g, stride_);
      }
      plane.own[std::size_t(y)] = Row::Mixed, ra_[std::size_t(y)] = a, rb_[std::size_t(y)] = b;
    }
    for (int y = 0; y < sy_; ++y) {
      const int t0 = std::max(-r, -y), t1 = std::min(r, sy_ - 1 - y);
      bool empty = true, full = t0 == -r && t1 == r;
      for (int t = t0; t <= t1; ++t) {
        empty = empty && plane.own[std::size_t(y + t)] == Row::Empty;
        full = full && plane.own[std::size_t(y + t)] == Row::Full;
      }
      const std::size_t i = std::size_t(y);
      if (empty || full) {
        plane.kind[i] = empty ? Row::Empty : Row::Core;
        plane.rx[i] = empty ? zero_.data() : coreX_.data();
        plane.ry[i] = zero_.data();
        plane.rz[i] = empty ? zero_.data() : coreZ_.data();
        continue;
      }
      std::int32_t* px = &plane.px[i * n];
      std::int32_t* py = &plane.py[i * n];
      std::int32_t* pz = &plane.pz[i * n];
      std::fill_n(px, n, 0);
      std::fill_n(py, n, 0);
      std::fill_n(pz, n, 0);
      for (int t = t0; t <= t1; ++t) {
        if (plane.own[std::size_t(y + t)] == Row::Empty) continue;
        const std::int32_t g = w_.g[std::size_t(t + r)], tg = w_.tg[std::size_t(t + r)];
        SumThree(px, py, pz, ra_[std::size_t(y + t)], rb_[std::size_t(y + t)], g, tg, stride_);
      }
      plane.kind[i] = Row::Mixed, plane.rx[i] = px, plane.ry[i] = py, plane.rz[i] = pz;
    }
  }

  // The pass along z of layer z, row by row, and the normals of its voxels.
  template <typename F>
  void Emit(int z, F&& found) {
    const int r = w_.radius;
    const std::uint8_t* layer = model_.Colours.layer(unsigned(z));
    for (int y = 0; y < sy_; ++y) {
      const std::size_t i = std::size_t(y);
      if (Slot(z).own[i] == Row::Empty) continue;
      bool core = true;
      for (int t = -r; t <= r; ++t) core = core && Slot(z + t).kind[i] == Row::Core;
      const std::uint8_t* row = layer + (i << 8);
      const Around around{row, y > 0 ? row - 256 : None, y + 1 < sy_ ? row + 256 : None,
                          z > 0 ? row - 65536 : None, z + 1 < sz_ ? row + 65536 : None};
      if (core) {
        for (const Edge& e : coreEdge_) Found(around, e.x, y, z, e.gx, 0, 0, found);
        continue;
      }
      std::fill(gx_.begin(), gx_.end(), 0);
      std::fill(gy_.begin(), gy_.end(), 0);
      std::fill(gz_.begin(), gz_.end(), 0);
      for (int t = -r; t <= r; ++t) {
        const Plane& p = Slot(z + t);
        if (p.kind[i] == Row::Empty) continue;
        const std::int32_t g = w_.g[std::size_t(t + r)], tg = w_.tg[std::size_t(t + r)];
        SumLayers(gx_.data(), gy_.data(), gz_.data(), p.rx[i], p.ry[i], p.rz[i], g, tg, stride_);
      }
      for (int x = 0; x < sx_; ++x)
        if (row[x] != 0) {
          const std::size_t k = std::size_t(x);
          Found(around, x, y, z, gx_[k], gy_[k], gz_[k], found);
        }
    }
  }

  // A row of a layer and its four neighbours across faces; None beyond the extent.
  static constexpr std::uint8_t None[256] = {};
  struct Around {
    const std::uint8_t *row, *prevY, *nextY, *prevZ, *nextZ;
  };

  template <typename F>
  void Found(const Around& a, int x, int y, int z, std::int32_t gx, std::int32_t gy,
             std::int32_t gz, F&& found) {
    int index;
    if (gx == 0 && gy == 0 && gz == 0) {
      const std::size_t k = std::size_t(x);
      const bool xm = x == 0 || a.row[k - 1] == 0, xp = x + 1 == sx_ || a.row[k + 1] == 0;
      int dx, dy, dz;
      if (!OpenDirection(xm, xp, a.prevY[k] == 0, a.nextY[k] == 0, a.prevZ[k] == 0, a.nextZ[k] == 0,
                         dx, dy, dz))
        return;
      index = NearestNormal(model_.NormalType, dx, dy, dz);
    } else {
      // The gradient points into the solid; the normal points out.
      index = NearestNormal(model_.NormalType, -double(gx), -double(gy), -double(gz));
    }
    if (index >= 0) found(x, y, z, index);
  }

  // Where the smoothed surroundings balance out (a wall one cell thick, a rod, a lone
  // voxel), the open sides still show the way out: the sum of the directions towards the
  // empty face neighbours, or, where those come in opposite pairs, up, else +x, else +y
  // among the open ones. False for a voxel walled in on all six sides.
  static bool OpenDirection(bool xm, bool xp, bool ym, bool yp, bool zm, bool zp, int& dx, int& dy,
                            int& dz) {
    dx = int(xp) - int(xm), dy = int(yp) - int(ym), dz = int(zp) - int(zm);
    if (dx || dy || dz) return true;
    if (zp)
      dz = 1;
    else if (xp)
      dx = 1;
    else if (yp)
      dy = 1;
    else
      return false;
    return true;
  }

  struct Edge {
    int x;
    std::int32_t gx;
  };

  const TVoxelModel& model_;
  Weights w_;
  int sx_, sy_, sz_, stride_;
  std::vector<Plane> ring_;
  std::vector<std::int32_t> a_, b_;                // the passes along x of a layer's rows
  std::vector<const std::int32_t*> ra_, rb_;       // each row's, or a shared one
  std::vector<std::int32_t> occ_;                  // one row, radius cells of padding on each side
  std::vector<std::int32_t> zero_, gx_, gy_, gz_;  // one row each
  std::vector<std::int32_t> fullA_, fullB_, coreX_, coreZ_;  // the shared rows
  std::vector<Edge> coreEdge_;  // where a row among full rows and layers needs a normal
};

}  // namespace

NormalsResult CalculateNormals(TVoxelModel& model, const CellBox& area, int radius) {
  NormalsResult result;
  if (NormalTable(model.NormalType).empty()) {
    result.Status = NormalsStatus::NoNormalSet;
    return result;
  }
  CellBox box = area;
  box.X0 = std::max(box.X0, 0), box.Y0 = std::max(box.Y0, 0), box.Z0 = std::max(box.Z0, 0);
  box.X1 = std::min(box.X1, model.SizeX - 1), box.Y1 = std::min(box.Y1, model.SizeY - 1);
  box.Z1 = std::min(box.Z1, model.SizeZ - 1);
  if (box.Empty()) return result;
  CellEdit edit(model, box, "Calculate Normals");
  VoxelGrid& normals = edit.Grid(GridKind::Normals);
  Estimator estimator(model, std::clamp(radius, MinSmoothing, MaxSmoothing));
  estimator.Run(box.Z0, box.Z1, [&](int x, int y, int z, int index) {
    if (x >= box.X0 && x <= box.X1 && y >= box.Y0 && y <= box.Y1)
      normals.at(unsigned(x), unsigned(y), unsigned(z)) = std::uint8_t(index);
  });
  result.Step = edit.Finish();
  return result;
}

void EstimateNormalIndices(const TVoxelModel& model, int radius, std::vector<int>& indices) {
  const std::size_t sx = model.SizeX, sy = model.SizeY;
  indices.assign(sx * sy * model.SizeZ, -1);
  if (NormalTable(model.NormalType).empty() || !model.IsOpen()) return;
  Estimator estimator(model, std::clamp(radius, MinSmoothing, MaxSmoothing));
  estimator.Run(0, model.SizeZ - 1, [&](int x, int y, int z, int index) {
    indices[std::size_t(x) + sx * (std::size_t(y) + sy * std::size_t(z))] = index;
  });
}
