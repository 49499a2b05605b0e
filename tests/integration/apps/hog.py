"""Holds written memory (NIMBREL_HOG_MB MiB, 64 by default) until its parent closes our stdin
(or dies)."""
import os
import sys

block = bytearray(b"\x01") * (int(os.environ.get("NIMBREL_HOG_MB", "64")) << 20)
print("ready", flush=True)
sys.stdin.read()
