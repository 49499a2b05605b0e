"""Holds 64 MiB of written memory until its parent closes our stdin (or dies)."""
import sys

block = bytearray(b"\x01") * (64 << 20)
print("ready", flush=True)
sys.stdin.read()
