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

// One layer after the passes along x and y: the three products whose sums along z give
// the gradient (x: t*g along x, g along y; y: g along x, t*g along y; z: g along both).
struct Plane {
  std::vector<std::int32_t> px, py, pz;
};

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
                                std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    gx[i] += g * px[i];
    gy[i] += g * py[i];
    gz[i] += tg * pz[i];
  }
}

class Estimator {
 public:
  Estimator(const TVoxelModel& model, int radius)
      : model_(model), w_(WeightsFor(radius)), sx_(model.SizeX), sy_(model.SizeY) {
    const std::size_t cells = std::size_t(sx_) * std::size_t(sy_);
    ring_.resize(std::size_t(2 * radius + 1));
    for (Plane& p : ring_) p.px.resize(cells), p.py.resize(cells), p.pz.resize(cells);
    a_.resize(cells);
    b_.resize(cells);
    occ_.resize(std::size_t(sx_ + 2 * radius));
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
    const std::size_t cells = std::size_t(sx_) * std::size_t(sy_);
    if (z < 0 || z >= model_.SizeZ) {
      std::fill_n(plane.px.begin(), cells, 0);
      std::fill_n(plane.py.begin(), cells, 0);
      std::fill_n(plane.pz.begin(), cells, 0);
      return;
    }
    const int r = w_.radius;
    const std::uint8_t* layer = model_.Colours.layer(unsigned(z));
    for (int y = 0; y < sy_; ++y) {
      const std::uint8_t* row = layer + (std::size_t(y) << 8);
      for (int x = 0; x < sx_; ++x) occ_[std::size_t(x + r)] = row[x] != 0;
      std::int32_t* a = &a_[std::size_t(y) * std::size_t(sx_)];
      std::int32_t* b = &b_[std::size_t(y) * std::size_t(sx_)];
      std::fill_n(a, sx_, 0);
      std::fill_n(b, sx_, 0);
      for (int t = 0; t <= 2 * r; ++t) {
        const std::int32_t g = w_.g[std::size_t(t)], tg = w_.tg[std::size_t(t)];
        // occ_[x + t] is the cell x + t - r
        SumTwo(a, b, occ_.data() + t, tg, g, sx_);
      }
    }
    std::fill_n(plane.px.begin(), cells, 0);
    std::fill_n(plane.py.begin(), cells, 0);
    std::fill_n(plane.pz.begin(), cells, 0);
    for (int y = 0; y < sy_; ++y) {
      std::int32_t* px = &plane.px[std::size_t(y) * std::size_t(sx_)];
      std::int32_t* py = &plane.py[std::size_t(y) * std::size_t(sx_)];
      std::int32_t* pz = &plane.pz[std::size_t(y) * std::size_t(sx_)];
      for (int t = -r; t <= r; ++t) {
        if (y + t < 0 || y + t >= sy_) continue;
        const std::int32_t g = w_.g[std::size_t(t + r)], tg = w_.tg[std::size_t(t + r)];
        const std::int32_t* a = &a_[std::size_t(y + t) * std::size_t(sx_)];
        const std::int32_t* b = &b_[std::size_t(y + t) * std::size_t(sx_)];
        SumThree(px, py, pz, a, b, g, tg, sx_);
      }
    }
  }

  template <typename F>
  void Emit(int z, F&& found) {
    const int r = w_.radius;
    const std::uint8_t* layer = model_.Colours.layer(unsigned(z));
    std::vector<std::int32_t>& gx = a_;  // free again: the next Fill starts afresh
    std::vector<std::int32_t>& gy = b_;
    gz_.resize(gx.size());
    const std::size_t cells = std::size_t(sx_) * std::size_t(sy_);
    std::fill_n(gx.begin(), cells, 0);
    std::fill_n(gy.begin(), cells, 0);
    std::fill_n(gz_.begin(), cells, 0);
    for (int t = -r; t <= r; ++t) {
      const Plane& p = Slot(z + t);
      const std::int32_t g = w_.g[std::size_t(t + r)], tg = w_.tg[std::size_t(t + r)];
      SumLayers(gx.data(), gy.data(), gz_.data(), p.px.data(), p.py.data(), p.pz.data(), g, tg,
                cells);
    }
    for (int y = 0; y < sy_; ++y)
      for (int x = 0; x < sx_; ++x) {
        if (layer[(std::size_t(y) << 8) + std::size_t(x)] == 0) continue;
        const std::size_t i = std::size_t(y) * std::size_t(sx_) + std::size_t(x);
        int index;
        if (gx[i] == 0 && gy[i] == 0 && gz_[i] == 0) {
          int fx, fy, fz;
          if (!OpenDirection(x, y, z, fx, fy, fz)) continue;
          index = NearestNormal(model_.NormalType, fx, fy, fz);
        } else {
          // The gradient points into the solid; the normal points out.
          index = NearestNormal(model_.NormalType, -double(gx[i]), -double(gy[i]), -double(gz_[i]));
        }
        if (index >= 0) found(x, y, z, index);
      }
  }

  bool Empty(int x, int y, int z) const {
    return x < 0 || y < 0 || z < 0 || x >= sx_ || y >= sy_ || z >= model_.SizeZ ||
           model_.Colours.at(unsigned(x), unsigned(y), unsigned(z)) == 0;
  }

  // Where the smoothed surroundings balance out (a wall one cell thick, a rod, a lone
  // voxel), the open sides still show the way out: the sum of the directions towards the
  // empty face neighbours, or, where those come in opposite pairs, up, else +x, else +y
  // among the open ones. False for a voxel walled in on all six sides.
  bool OpenDirection(int x, int y, int z, int& dx, int& dy, int& dz) const {
    const bool xm = Empty(x - 1, y, z), xp = Empty(x + 1, y, z);
    const bool ym = Empty(x, y - 1, z), yp = Empty(x, y + 1, z);
    const bool zm = Empty(x, y, z - 1), zp = Empty(x, y, z + 1);
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

  const TVoxelModel& model_;
  Weights w_;
  int sx_, sy_;
  std::vector<Plane> ring_;
  std::vector<std::int32_t> a_, b_, gz_;
  std::vector<std::int32_t> occ_;  // one row, radius cells of padding on each side
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
