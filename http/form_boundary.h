// The multipart boundary: icontentdata and icontentfile write it between parts, and
// ihttpopen announces it in the Content-Type line of every request body.
#pragma once

namespace zel::http {

inline constexpr char kFormBoundary[] = "---------------------------565927" "36725545";
static_assert(sizeof kFormBoundary - 1 == 41, "27 hyphens and 14 digits");

}  // namespace zel::http
