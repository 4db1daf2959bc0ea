#include <gtest/gtest.h>

#include "view3d/Lighting.h"
#include "view3d/NormalSphere.h"
#include "model/NormalTables.h"

namespace {

bool SameVector(int type, int a, int b) {
  const NormalVector &u = NormalTable(type)[std::size_t(a)], &v = NormalTable(type)[std::size_t(b)];
  return u.X == v.X && u.Y == v.Y && u.Z == v.Z;
}

}  // namespace

// Every normal can be picked at its own spot, at small and large sizes; the near half is
// on the left; and the picture shows the set lit, the spots and the chosen one's ring.
TEST(NormalSphere, EachSpotPicksItsNormal) {
  constexpr Pixel background = 0xFFD4D0C8u;
  for (int type : {2, 4})
    for (const auto& size : {std::pair{420, 210}, {200, 160}}) {
      const auto [w, h] = size;
      for (int i = 0; i < int(NormalTable(type).size()); ++i) {
        const SpherePoint p = *SpotOfNormal(type, w, h, i);
        const int picked = NormalAtPoint(type, w, h, p.X, p.Y);
        ASSERT_GE(picked, 0) << type << " " << i << " at " << p.X << "," << p.Y;
        EXPECT_TRUE(SameVector(type, picked, i)) << type << " " << i << " picked " << picked;
        EXPECT_EQ(p.X < w / 2, NormalTable(type)[std::size_t(i)].Z >= 0) << type << " " << i;
      }
      PixelBuffer picture;
      RenderNormalSphere(type, w, h, background, picture, 0);
      ASSERT_EQ(picture.Width(), w);
      EXPECT_EQ(picture.At(0, 0), background);
      EXPECT_EQ(picture.At(w / 2, h / 2), background);  // between the discs
      const SpherePoint spot = *SpotOfNormal(type, w, h, 1);
      EXPECT_EQ(picture.At(spot.X, spot.Y), 0xFF202020u);
      const SpherePoint ring = *SpotOfNormal(type, w, h, 0);
      EXPECT_EQ(picture.At(ring.X + 4, ring.Y), 0xFFFF4000u);
      // The near disc's centre looks straight at the viewer.
      const NormalVector& up =
          NormalTable(type)[std::size_t(NormalAtPoint(type, w, h, w / 4, h / 2))];
      if (picture.At(w / 4, h / 2) != 0xFF202020u) {
        EXPECT_EQ(picture.At(w / 4, h / 2),
                  ToPixel(LitColour(PackRGB(214, 214, 214), LightShade(up.X, up.Y, up.Z))));
      }
    }
  EXPECT_EQ(NormalAtPoint(4, 420, 210, 0, 0), -1);
  EXPECT_EQ(NormalAtPoint(3, 420, 210, 105, 105), -1);
  EXPECT_EQ(NormalAtPoint(4, 420, 210, -5, 105), -1);
  EXPECT_FALSE(SpotOfNormal(2, 420, 210, 36));
  EXPECT_FALSE(SpotOfNormal(4, 420, 210, -1));
}
