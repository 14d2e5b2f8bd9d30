#pragma once
// The working number type of every computation: 80-bit extended precision on
// x86-64. Table fields hold doubles; coordinates, parameters and intermediate
// values are computed in Extended.

namespace korthal {
using Extended = long double;
}
