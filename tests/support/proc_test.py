#!/usr/bin/env python3
"""The shared helpers' guard and ending, in a private network namespace of
their own (run_in_netns.sh): links are added here only."""
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from proc import require_private_netns, stop  # noqa: E402


class Guard(unittest.TestCase):
    def refused(self, link, veth):
        subprocess.run(['ip', 'link', 'add', link, 'type', 'veth', 'peer', 'name', 'orvq9'], check=True)
        try:
            with self.assertRaises(SystemExit):
                require_private_netns(veth=veth)
            return True
        except AssertionError:
            return False
        finally:
            subprocess.run(['ip', 'link', 'del', link], check=True)

    def test_only_loopback_and_our_own_veth_links(self):
        require_private_netns()
        self.assertEqual([self.refused('orvq0', False), self.refused('orvq0', True), self.refused('eth7', True)],
                         [True, False, True])


class Stop(unittest.TestCase):
    def test_exit_code_or_none_when_killed(self):
        self.assertEqual(stop(subprocess.Popen(['sleep', '30'])), -15)
        deaf = subprocess.Popen(['sh', '-c', 'trap "" TERM; echo; exec sleep 30'], stdout=subprocess.PIPE)
        deaf.stdout.readline()  # the trap is set
        self.assertIsNone(stop(deaf, timeout=0.5))
        self.assertIsNotNone(deaf.returncode)
        deaf.stdout.close()


if __name__ == '__main__':
    unittest.main()
