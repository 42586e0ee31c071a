"""The latency benchmarks' report line."""


def percentile(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(round(p / 100 * (len(values) - 1))))]


def report(name, ms):
    print('%-44s p50 %7.1f ms   p99 %7.1f ms   (%d samples)'
          % (name, percentile(ms, 50), percentile(ms, 99), len(ms)), flush=True)
