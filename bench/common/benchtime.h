#pragma once
// Timing shared by the benchmarks: medians, and two sides run alternately so that a busy
// machine slows both alike.
#include <QtCore/QElapsedTimer>
#include <QtCore/QList>
#include <algorithm>
#include <utility>

namespace zr::bench {

inline double median(QList<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

template <typename F> double timeMs(int runs, F f) {
  QList<double> t;
  for (int r = 0; r < runs; ++r) {
    QElapsedTimer timer;
    timer.start();
    f();
    t << timer.nsecsElapsed() / 1e6;
  }
  return median(t);
}

template <typename E, typename R> std::pair<double, double> timePair(int runs, E e, R r) {
  QList<double> te, tr;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    e();
    te << t.nsecsElapsed() / 1e6;
    t.start();
    r();
    tr << t.nsecsElapsed() / 1e6;
  }
  return {median(te), median(tr)};
}

} // namespace zr::bench
