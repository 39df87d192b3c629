"""The installation medium: staging it, its image, the release zip, signing."""
